// The runner's command line, input script and output lines, without running a program.
#include <windows.h>

#include <gtest/gtest.h>

#include <host.h>

#include "tools/demo-run/frame_driver.h"
#include "tools/demo-run/input_script.h"
#include "tools/demo-run/quoting.h"
#include "tools/demo-run/run_options.h"

namespace {

bool Parse(const std::vector<std::string>& arguments, RunOptions* options, std::string* error) {
    return ParseRunOptions(arguments, options, error);
}

}  // namespace

TEST(RunOptions, DefaultsAndEveryOption) {
    RunOptions defaults;
    std::string error;
    ASSERT_TRUE(Parse({"relief"}, &defaults, &error)) << error;
    EXPECT_EQ(defaults.program, "relief");
    EXPECT_EQ(defaults.frames, 60);
    EXPECT_EQ(defaults.dtMilliseconds, 16u);
    EXPECT_EQ(defaults.startMilliseconds, 0u);
    EXPECT_FALSE(defaults.printText);
    EXPECT_FALSE(defaults.printTiming);

    RunOptions options;
    ASSERT_TRUE(Parse({"tether", "--frames", "300", "--dt-ms", "20", "--start-ms", "4294967295", "--input",
                       "keys.txt", "--capture", "10:a.png", "--capture", "300:dir/b.png", "--text", "--timing",
                       "--resources", "res"},
                      &options, &error))
        << error;
    EXPECT_EQ(options.frames, 300);
    EXPECT_EQ(options.dtMilliseconds, 20u);
    EXPECT_EQ(options.startMilliseconds, 4294967295u);
    EXPECT_EQ(options.inputFile, "keys.txt");
    ASSERT_EQ(options.captures.size(), 2u);
    EXPECT_EQ(options.captures[1].frame, 300);
    EXPECT_EQ(options.captures[1].path, "dir/b.png");
    EXPECT_TRUE(options.printText);
    EXPECT_TRUE(options.printTiming);
    EXPECT_EQ(options.resourceFolder, "res");
}

TEST(RunOptions, RejectsBadArguments) {
    const std::vector<std::vector<std::string>> bad = {
        {},                                   // no program
        {"relief", "--frames"},               // missing value
        {"relief", "--frames", "-1"},         // negative
        {"relief", "--frames", "12x"},        // junk
        {"relief", "--dt-ms", "+5"},          // sign
        {"relief", "--start-ms", "4294967296"},  // past 32 bits
        {"relief", "--capture", "5"},         // no path
        {"relief", "--capture", "0:a.png"},   // frames count from 1
        {"relief", "--capture", "61:a.png"},  // after the last frame
        {"relief", "--fast"},                 // unknown option
        {"relief", "tether"},                 // two programs
    };
    for (const std::vector<std::string>& arguments : bad) {
        RunOptions options;
        std::string error;
        EXPECT_FALSE(Parse(arguments, &options, &error)) << (arguments.empty() ? "" : arguments.back());
        EXPECT_FALSE(error.empty());
    }
}

TEST(InputScript, KeyNames) {
    EXPECT_EQ(VirtualKeyOfName("A"), 0x41);
    EXPECT_EQ(VirtualKeyOfName("z"), 0x5A);
    EXPECT_EQ(VirtualKeyOfName("0"), 0x30);
    EXPECT_EQ(VirtualKeyOfName("9"), 0x39);
    EXPECT_EQ(VirtualKeyOfName("F1"), VK_F1);
    EXPECT_EQ(VirtualKeyOfName("F12"), VK_F12);
    EXPECT_EQ(VirtualKeyOfName("ESCAPE"), VK_ESCAPE);
    EXPECT_EQ(VirtualKeyOfName("SPACE"), VK_SPACE);
    EXPECT_EQ(VirtualKeyOfName("up"), VK_UP);
    EXPECT_EQ(VirtualKeyOfName("HOME"), VK_HOME);
    EXPECT_EQ(VirtualKeyOfName("END"), VK_END);
    EXPECT_EQ(VirtualKeyOfName("ADD"), VK_ADD);
    EXPECT_EQ(VirtualKeyOfName("SUBTRACT"), VK_SUBTRACT);
    EXPECT_EQ(VirtualKeyOfName("F13"), 0);
    EXPECT_EQ(VirtualKeyOfName("F0"), 0);
    EXPECT_EQ(VirtualKeyOfName("AB"), 0);
    EXPECT_EQ(VirtualKeyOfName("-"), 0);
    EXPECT_EQ(VirtualKeyOfName(""), 0);
}

TEST(InputScript, ParsesEventsInFrameOrder) {
    std::vector<ScriptEvent> events;
    std::string error;
    const std::string script =
        "# a comment line\n"
        "5 move 120 -4   # trailing comment\n"
        "\n"
        "2 down W\r\n"
        "5 ldown\n"
        "2 up W\n"
        "7 rdown\n7 rup\n7 lup\n9 close\n";
    ASSERT_TRUE(ParseInputScript(script, &events, &error)) << error;
    ASSERT_EQ(events.size(), 8u);
    EXPECT_EQ(events[0].frame, 2);
    EXPECT_EQ(events[0].kind, ScriptEvent::kKeyDown);
    EXPECT_EQ(events[0].virtualKey, 'W');
    EXPECT_EQ(events[1].kind, ScriptEvent::kKeyUp);
    EXPECT_EQ(events[2].kind, ScriptEvent::kMove);
    EXPECT_EQ(events[2].x, 120);
    EXPECT_EQ(events[2].y, -4);
    EXPECT_EQ(events[3].kind, ScriptEvent::kLeftDown);
    EXPECT_EQ(events[4].kind, ScriptEvent::kRightDown);
    EXPECT_EQ(events[5].kind, ScriptEvent::kRightUp);
    EXPECT_EQ(events[6].kind, ScriptEvent::kLeftUp);
    EXPECT_EQ(events[7].frame, 9);
    EXPECT_EQ(events[7].kind, ScriptEvent::kClose);
}

TEST(InputScript, ErrorsNameTheLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"1 down A\n2 jump\n", "line 2: unknown event \"jump\""},
        {"\n\n0 ldown\n", "line 3: the frame must be a number from 1, not \"0\""},
        {"x ldown\n", "line 1: the frame must be a number from 1, not \"x\""},
        {"4 down\n", "line 1: down needs a key"},
        {"4 up CTRL\n", "line 1: unknown key \"CTRL\""},
        {"# ok\n4 move 1\n", "line 2: move needs two whole numbers X Y"},
        {"4 move 1 2 3\n", "line 1: move needs two whole numbers X Y"},
        {"4 close now\n", "line 1: unexpected \"now\" after close"},
        {"4\n", "line 1: missing event after the frame number"},
    };
    for (const auto& [script, message] : cases) {
        std::vector<ScriptEvent> events;
        std::string error;
        EXPECT_FALSE(ParseInputScript(script, &events, &error)) << script;
        EXPECT_EQ(error, message);
    }
}

TEST(RunnerOutput, LinesQuoteUtf8AndEscape) {
    EXPECT_EQ(TextLine(3, 10, 40, L"60fps"), "frame 3 text 10,40 \"60fps\"");
    EXPECT_EQ(TextLine(1, -5, 7, L"载入\"a\\b\"失败\n"), "frame 1 text -5,7 \"载入\\\"a\\\\b\\\"失败\\n\"");
    EXPECT_EQ(BoxLine(12, L"", L"保存成功"), "frame 12 box \"\" \"保存成功\"");
}

TEST(RunnerOutput, TimingMedianAndNearestRankP95) {
    EXPECT_EQ(TimingLine({5, 1, 3, 2, 4}), "timing frames=5 median_ms=3.000 p95_ms=5.000");
    EXPECT_EQ(TimingLine({4, 1, 3, 2}), "timing frames=4 median_ms=2.500 p95_ms=4.000");
    std::vector<double> twenty;
    for (int i = 20; i >= 1; --i) twenty.push_back(i);
    EXPECT_EQ(TimingLine(twenty), "timing frames=20 median_ms=10.500 p95_ms=19.000");
    EXPECT_EQ(TimingLine({}), "timing frames=0 median_ms=0.000 p95_ms=0.000");
}

// What a script or command line holds comes back in an error as one short, harmless line.
TEST(RunnerOutput, EchoedWordsAreQuotedEscapedAndCut) {
    EXPECT_EQ(QuotedWord("jump"), "\"jump\"");
    EXPECT_EQ(QuotedWord(std::string("a\x1b[2Jb\0c\x7f\"\\", 11)), "\"a\\x1B[2Jb\\x00c\\x7F\\\"\\\\\"");
    EXPECT_EQ(QuotedWord(std::string(200000, 'x')), "\"" + std::string(40, 'x') + "\"...");
    // 13 three-byte characters are 39 bytes: the 14th would pass 40, so it is cut before it.
    std::string chinese;
    for (int i = 0; i < 20; ++i) chinese += "雪";
    EXPECT_EQ(QuotedWord(chinese), "\"" + chinese.substr(0, 39) + "\"...");

    std::vector<ScriptEvent> events;
    std::string error;
    EXPECT_FALSE(ParseInputScript("1 down " + std::string(200000, 'K') + "\n", &events, &error));
    EXPECT_EQ(error, "line 1: unknown key \"" + std::string(40, 'K') + "\"...");
    EXPECT_FALSE(ParseInputScript(std::string("1 \x1b]0;owned\x07\n"), &events, &error));
    EXPECT_EQ(error, "line 1: unknown event \"\\x1B]0;owned\\x07\"");
}

// Drawn texts may hold control characters too; they never reach the terminal raw.
TEST(RunnerOutput, ControlCharactersInTextsAreEscaped) {
    EXPECT_EQ(TextLine(2, 0, 0, L"a\x1b[31mb\tc"), "frame 2 text 0,0 \"a\\x1B[31mb\\tc\"");
}

namespace {

// Runs the driver's frames without a program: each idle call of an empty message loop ends
// one frame and starts the next, until the driver posts the quit message.
std::vector<double> FrameTimesOfRun(bool timing) {
    RunOptions options;
    options.program = "none";
    options.frames = 50;
    options.printTiming = timing;
    FrameDriver driver(options, {});
    driver.Install();
    MSG message = {};
    while (!(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) && message.message == WM_QUIT)) {
    }
    return driver.FrameTimes();
}

}  // namespace

TEST(FrameDriver, KeepsFrameTimesOnlyForTheTimingLine) {
    EXPECT_TRUE(FrameTimesOfRun(false).empty());
    EXPECT_EQ(FrameTimesOfRun(true).size(), 50u);
}

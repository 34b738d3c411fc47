// demo-run end to end: the probe application run headless through the runner executable.
#include <png.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "tests/demo-run/run_process.h"

namespace {

ProcessResult Probe(const std::string& arguments) {
    return RunProcess(std::string(PROBE_RUNNER) + " " + arguments);
}

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    uint32_t At(int x, int y) const {
        const uint8_t* pixel = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return (uint32_t(pixel[0]) << 16) | (uint32_t(pixel[1]) << 8) | pixel[2];
    }
};

bool ReadPng(const std::string& path, Picture* picture) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    picture->width = image.width;
    picture->height = image.height;
    picture->rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, picture->rgb.data(), 0, nullptr) != 0;
}

}  // namespace

TEST(DemoRun, VirtualClockGivesEachFrameItsTime) {
    const ProcessResult run = Probe("probe --frames 3 --dt-ms 20 --start-ms 1000 --text");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.HasLine("frame 1 text 10,40 \"time 1000 clock 1000\"")) << run.out;
    EXPECT_TRUE(run.HasLine("frame 2 text 10,40 \"time 1020 clock 1020\""));
    EXPECT_TRUE(run.HasLine("frame 3 text 10,40 \"time 1040 clock 1040\""));
    EXPECT_TRUE(run.LinesStartingWith("frame 4 ").empty());

    // The millisecond count wraps at 32 bits, as timeGetTime does.
    const ProcessResult wrapped = Probe("probe --frames 3 --dt-ms 3 --start-ms 4294967290 --text");
    EXPECT_EQ(wrapped.LinesStartingWith("frame 2 text 10,40 \"time 4294967293 ").size(), 1u) << wrapped.out;
    EXPECT_EQ(wrapped.LinesStartingWith("frame 3 text 10,40 \"time 0 ").size(), 1u);
}

TEST(DemoRun, FrameRateCounterFollowsTheVirtualClock) {
    // 16 ms frames from 0: frame 64 at 1008 ms is the first past one second, 64 frames in it.
    const ProcessResult run = Probe("probe --frames 66 --text");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.HasLine("frame 1 text 10,10 \"0fps\"")) << run.out;
    EXPECT_TRUE(run.HasLine("frame 63 text 10,10 \"0fps\""));
    EXPECT_TRUE(run.HasLine("frame 64 text 10,10 \"63fps\""));
    EXPECT_TRUE(run.HasLine("frame 66 text 10,10 \"63fps\""));
}

TEST(DemoRun, EveryInputEventReachesTheProgram) {
    const std::string script = TemporaryPath(".txt");
    WriteTextFile(script,
                  "# keys, the cursor and both buttons\n"
                  "2 down R\n"
                  "3 up R\n"
                  "4 move 120 45\n"
                  "5 ldown\n"
                  "6 lup\n"
                  "7 rdown   # right button\n"
                  "8 rup\n"
                  "9 down F1\n"
                  "9 down ADD\n"
                  "10 close\n");
    const ProcessResult run = Probe("probe --frames 20 --text --input " + script);
    std::filesystem::remove(script);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.HasLine("frame 1 text 10,60 \"vk dik\"")) << run.out;
    // R: virtual key 82 in the message table, scan code 19 in the DirectInput snapshot.
    EXPECT_TRUE(run.HasLine("frame 2 text 10,60 \"vk 82 dik 19\""));
    EXPECT_TRUE(run.HasLine("frame 3 text 10,60 \"vk dik\""));
    EXPECT_TRUE(run.HasLine("frame 4 text 10,80 \"cursor 120,45 buttons 00 snapshot 00 wireframe 0\""));
    EXPECT_TRUE(run.HasLine("frame 5 text 10,80 \"cursor 120,45 buttons 10 snapshot 10 wireframe 0\""));
    EXPECT_TRUE(run.HasLine("frame 6 text 10,80 \"cursor 120,45 buttons 00 snapshot 00 wireframe 0\""));
    EXPECT_TRUE(run.HasLine("frame 7 text 10,80 \"cursor 120,45 buttons 01 snapshot 01 wireframe 0\""));
    EXPECT_TRUE(run.HasLine("frame 8 text 10,80 \"cursor 120,45 buttons 00 snapshot 00 wireframe 0\""));
    // F1 (112, scan 59) toggles the fill mode; ADD is the keypad's (107, scan 78).
    EXPECT_TRUE(run.HasLine("frame 9 text 10,60 \"vk 107 112 dik 59 78\""));
    EXPECT_TRUE(run.HasLine("frame 9 text 10,80 \"cursor 120,45 buttons 00 snapshot 00 wireframe 1\""));
    EXPECT_EQ(run.LinesStartingWith("frame 5 box ").size(), 1u);
    EXPECT_TRUE(run.HasLine("frame 5 box \"\" \"120,45\""));
    // The close at frame 10 ends the run before that frame.
    EXPECT_TRUE(run.LinesStartingWith("frame 10 ").empty());
}

TEST(DemoRun, EscapeEndsTheRunBeforeItsFrame) {
    const std::string script = TemporaryPath(".txt");
    WriteTextFile(script, "3 down ESCAPE\n");
    const ProcessResult run = Probe("probe --frames 10 --text --input " + script);
    std::filesystem::remove(script);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_FALSE(run.LinesStartingWith("frame 2 text").empty()) << run.out;
    EXPECT_TRUE(run.LinesStartingWith("frame 3 ").empty());
}

TEST(DemoRun, CaptureWritesTheFrameAsPresented) {
    const std::string script = TemporaryPath(".txt");
    const std::string blue = TemporaryPath("-blue.png");
    const std::string red = TemporaryPath("-red.png");
    WriteTextFile(script, "2 down R\n");
    const ProcessResult run =
        Probe("probe --frames 3 --input " + script + " --capture 1:" + blue + " --capture 2:" + red);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
    Picture first, second;
    ASSERT_TRUE(ReadPng(blue, &first));
    ASSERT_TRUE(ReadPng(red, &second));
    EXPECT_GT(first.width, 100);
    EXPECT_GT(first.height, 100);
    EXPECT_EQ(first.At(first.width / 2, first.height / 2), 0x0000FFu);
    EXPECT_EQ(second.At(second.width / 2, second.height / 2), 0xFF0000u);
    for (const std::string& path : {script, blue, red}) std::filesystem::remove(path);

    // One failure, one line: the frame was presented, the file could not be written.
    const ProcessResult unwritable = Probe("probe --frames 2 --capture 1:/nonexistent-folder/x.png");
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_EQ(unwritable.err, "demo-run: cannot write \"/nonexistent-folder/x.png\"\n");
}

TEST(DemoRun, TimingIsTheLastLine) {
    const ProcessResult run = Probe("probe --frames 5 --timing --text");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> lines = run.Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("timing frames=5 median_ms=", 0), 0u) << lines.back();
    EXPECT_NE(lines.back().find(" p95_ms="), std::string::npos);
}

TEST(DemoRun, ExitCodesAndReasons) {
    const ProcessResult unknown = Probe("nosuch");
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("unknown program \"nosuch\""), std::string::npos) << unknown.err;

    // A program that is not in the runner yet is unknown too.
    const ProcessResult notAdded = Probe("glasshall");
    EXPECT_EQ(notAdded.exitCode, 2);
    EXPECT_NE(notAdded.err.find("unknown program \"glasshall\""), std::string::npos) << notAdded.err;

    const ProcessResult badArgument = Probe("probe --frames many");
    EXPECT_EQ(badArgument.exitCode, 2);
    EXPECT_NE(badArgument.err.find("--frames"), std::string::npos);

    const std::string script = TemporaryPath(".txt");
    WriteTextFile(script, "1 down A\n2 jump\n");
    const ProcessResult badScript = Probe("probe --input " + script);
    std::filesystem::remove(script);
    EXPECT_EQ(badScript.exitCode, 2);
    EXPECT_NE(badScript.err.find("line 2: unknown event \"jump\""), std::string::npos) << badScript.err;

    EXPECT_EQ(Probe("probe --input /nonexistent-script.txt").exitCode, 2);
    EXPECT_EQ(Probe("probe --resources /nonexistent-folder").exitCode, 1);

    const ProcessResult real = RunProcess(std::string(DEMO_RUN) + " nosuch");
    EXPECT_EQ(real.exitCode, 2);
    EXPECT_NE(real.err.find("unknown program \"nosuch\""), std::string::npos) << real.err;
}

namespace {

// The standard error of a failed run: exactly one line, starting "demo-run: ".
void ExpectOneLine(const ProcessResult& run) {
    EXPECT_EQ(run.err.rfind("demo-run: ", 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
}

}  // namespace

TEST(DemoRun, UnusableResourceFolderIsOneLine) {
    const ProcessResult longName = Probe("probe --resources /tmp/" + std::string(256, 'r'));
    EXPECT_EQ(longName.exitCode, 1);
    ExpectOneLine(longName);

    const std::string loop = TemporaryPath("-loop");
    std::filesystem::create_symlink(loop, loop);
    const ProcessResult looped = Probe("probe --resources " + loop);
    std::filesystem::remove(loop);
    EXPECT_EQ(looped.exitCode, 1);
    ExpectOneLine(looped);
    EXPECT_NE(looped.err.find("cannot use resource folder"), std::string::npos) << looped.err;
}

TEST(DemoRun, HostileScriptsAreUsageErrorsOfOneShortLine) {
    const ProcessResult folder = Probe("probe --input /tmp");
    EXPECT_EQ(folder.exitCode, 2);
    EXPECT_EQ(folder.err, "demo-run: input file \"/tmp\" is a folder\n");

    const std::string script = TemporaryPath(".txt");
    WriteTextFile(script, "1 down " + std::string(200000, 'Q') + "\x1b[2J\n");
    const ProcessResult longWord = Probe("probe --input " + script);
    std::filesystem::remove(script);
    EXPECT_EQ(longWord.exitCode, 2);
    ExpectOneLine(longWord);
    EXPECT_LT(longWord.err.size(), 200u + script.size());
    EXPECT_EQ(longWord.err.find('\x1b'), std::string::npos);
}

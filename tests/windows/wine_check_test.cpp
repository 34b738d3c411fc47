// The Windows build under Wine: each program, started without input, must show the runner's
// picture of the same start pose: the same regions in the same places, about the same
// colours, and the same numbers. Wine's Direct3D 9 is an implementation independent of the
// platform layer, so a difference points at one of the two (or at Wine's own gaps, which
// the README lists).
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <thread>

#include "tests/support/demo_run.h"
#include "tests/windows/scene_comparison.h"
#include "tests/windows/wine_programs.h"
#include "tests/windows/wine_session.h"

using namespace wine_check;

namespace {

// Wine's first start in a prefix takes longest; a start that misses this gets one retry.
constexpr double kWindowSeconds = 45;
constexpr int kAttempts = 2;
// Before the grab the program has drawn this many frames (the water has rippled, the first
// slow frames that compile Wine's shaders are past) and has run for a few seconds.
constexpr int kLeastFrames = 30;
constexpr double kFramesSeconds = 60;
constexpr double kSettleSeconds = 3;
// A second picture half a second later shows what moves. The runner's frames are 16 ms.
constexpr double kMotionSeconds = 0.5;
constexpr int kLeastMotionFrames = 5;
constexpr int kFrameMilliseconds = 16;
constexpr int kMotionFrames = int(kMotionSeconds * 1000) / kFrameMilliseconds;
// The soft edges around what moved.
constexpr int kMotionMargin = 2;
constexpr double kCloseSeconds = 20;
// The runner's picture at the same time after the start.
constexpr int kReferenceFrame = int(kSettleSeconds * 1000) / kFrameMilliseconds;
// The program's entry point returns 1 when its loop ends.
constexpr int kExitCode = 1;
constexpr double kLeastAgreement = 0.95;
// A rule that ignored most of the picture would compare nothing.
constexpr double kLeastCompared = 0.8;
// White text of the 18-pixel font leaves at least this many bright pixels in its box.
constexpr int kTextInk = 20;
constexpr int kTextBrightness = 160;

std::string OutputDir() {
    const std::string dir = demo_test::BuildDir() + "/tests/wine";
    std::filesystem::create_directories(dir);
    return dir;
}

// Ink in every text box of both pictures, where the texts show.
void CheckTexts(const WineCheck& check, const Image& ours, const Image& theirs) {
    if (!check.textsShow) return;
    for (const Rect& box : check.textBoxes) {
        EXPECT_GE(BrightPixelsIn(ours, box, kTextBrightness), kTextInk) << "no text in the runner's box at " << box.left;
        EXPECT_GE(BrightPixelsIn(theirs, box, kTextBrightness), kTextInk) << "no text in Wine's box at " << box.left;
    }
}

struct WineResult {
    Image grab;
    Image later;
    std::vector<std::string> otherWindows;
    int exitCode = -1;
    std::string log;
};

// After the start: enough frames and seconds for the pose to settle, then a picture, and a
// second one a few frames and half a second later.
bool GrabStartPose(WineProgram& program, const WineCheck& check, WineResult* result, std::string* error) {
    const auto shown = std::chrono::steady_clock::now();
    const Rect& frameText = check.textBoxes.front();
    const int frames = program.WaitForTexts(frameText.left, frameText.top, kLeastFrames, kFramesSeconds);
    if (frames < kLeastFrames) {
        *error = std::string(check.program) + ".exe drew " + std::to_string(frames) + " frames in " +
                 std::to_string(int(kFramesSeconds)) + " s";
        return false;
    }
    std::this_thread::sleep_until(shown + std::chrono::duration<double>(kSettleSeconds));
    result->otherWindows = program.OtherWindows();
    if (!program.Grab(&result->grab, error)) return false;
    const auto grabbed = std::chrono::steady_clock::now();
    const int drawn = program.TextsDrawn(frameText.left, frameText.top);
    program.WaitForTexts(frameText.left, frameText.top, drawn + kLeastMotionFrames, kFramesSeconds);
    std::this_thread::sleep_until(grabbed + std::chrono::duration<double>(kMotionSeconds));
    return program.Grab(&result->later, error);
}

bool RunUnderWine(const WineCheck& check, WineResult* result, std::string* error) {
    const std::string windows = demo_test::BuildDir() + "/windows";
    const std::string logPath = OutputDir() + "/" + check.program + ".log";
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        PrivateXServer server;
        if (!server.Start(error)) return false;
        // The d3dx trace names every text the program draws, with its rectangle.
        WineProgram program({check.program, check.caption, windows + "/bin", windows + "/wineprefix",
                             server.DisplayName(), "-all,trace+d3dx", logPath});
        if (!program.Start(error)) return false;
        if (!program.WaitForWindow(kWindowSeconds)) {
            program.Kill();
            *error = std::string(check.program) + ".exe showed no window within " +
                     std::to_string(int(kWindowSeconds)) + " s in " + std::to_string(attempt) +
                     " attempt(s); see " + logPath;
            continue;
        }
        if (!GrabStartPose(program, check, result, error)) {
            *error += "; see " + logPath;
            return false;
        }
        result->exitCode = program.Close(kCloseSeconds);
        result->log = ReadWholeFile(logPath);
        return true;
    }
    return false;
}

// The last text the runner's frame drew at the box's corner, from demo-run --text.
std::string RunnerTextAt(const demo_test::DemoRun& run, const Rect& box) {
    const std::vector<std::string> texts = demo_test::TextsAt(run, box.left, box.top, kReferenceFrame);
    return texts.empty() ? "" : texts.back();
}

std::string WineTextAt(const std::string& log, const Rect& box) {
    std::string text;
    for (const DrawnText& drawn : DrawnTextsInTrace(log))
        if (drawn.left == box.left && drawn.top == box.top) text = drawn.text;
    return text;
}

std::string Describe(const SceneComparison& comparison) {
    std::ostringstream out;
    out.precision(2);
    const long differing = std::lround((1 - comparison.agreement) * comparison.compared);
    out << std::fixed << "agreement " << comparison.agreement * 100 << "% (" << differing << " of "
        << comparison.compared << " pixels differ)";
    for (Region region : {Region::Background, Region::Ground, Region::Object}) {
        const MeanColour& ours = comparison.ours[int(region)];
        const MeanColour& theirs = comparison.theirs[int(region)];
        if (ours.pixels == 0) continue;
        out << "; " << RegionName(region) << " (" << ours.pixels << " px) ours " << ours.red << "," << ours.green << ","
            << ours.blue << " Wine " << theirs.red << "," << theirs.green << "," << theirs.blue;
    }
    return out.str();
}

class WineCheckTest : public ::testing::TestWithParam<WineCheck> {};

TEST_P(WineCheckTest, ShowsTheRunnersPictureOfTheStartPose) {
    const WineCheck& check = GetParam();
    const std::string reference = OutputDir() + "/" + check.program + "_runner.png";
    const std::string referenceLater = OutputDir() + "/" + check.program + "_runner_later.png";
    const int laterFrame = kReferenceFrame + kMotionFrames;
    const demo_test::DemoRun run = demo_test::RunDemo(
        std::string(check.program) + " --text --frames " + std::to_string(laterFrame) + " --capture " +
        std::to_string(kReferenceFrame) + ":" + reference + " --capture " + std::to_string(laterFrame) + ":" +
        referenceLater);
    ASSERT_EQ(run.exitCode, 0) << "demo-run " << check.program;
    Image ours, oursLater;
    std::string error;
    ASSERT_TRUE(LoadPng(reference, &ours, &error)) << error;
    ASSERT_TRUE(LoadPng(referenceLater, &oursLater, &error)) << error;

    WineResult wine;
    ASSERT_TRUE(RunUnderWine(check, &wine, &error)) << error;
    SavePng(OutputDir() + "/" + check.program + "_wine.png", wine.grab);
    EXPECT_TRUE(wine.otherWindows.empty()) << "another window is open: " << wine.otherWindows.front();
    EXPECT_EQ(wine.exitCode, kExitCode) << "closing the window ends the program";

    EXPECT_EQ(wine.grab.width, ours.width) << "client width";
    EXPECT_EQ(wine.grab.height, ours.height) << "client height";
    const Image theirs = ScaledTo(wine.grab, ours.width, ours.height);
    if (check.wineGap != nullptr) {
        std::cout << check.program << ": picture not compared: " << check.wineGap << "\n";
        CheckTexts(check, ours, theirs);
        return;
    }
    const SceneComparison comparison =
        CompareScenes(PictureOf(ours, oursLater, check.classify, kMotionMargin),
                      PictureOf(theirs, ScaledTo(wine.later, ours.width, ours.height), check.classify, kMotionMargin),
                      check.classify, check.textBoxes);
    std::cout << check.program << ": " << Describe(comparison) << "\n";
    RecordProperty("comparison", Describe(comparison));
    EXPECT_GE(comparison.compared, kLeastCompared * ours.width * ours.height);
    EXPECT_GE(comparison.agreement, kLeastAgreement) << Describe(comparison);
    for (Region region : {Region::Background, Region::Ground, Region::Object}) {
        EXPECT_LE(LargestMeanDifference(comparison, region), check.colourTolerance)
            << RegionName(region) << ": " << Describe(comparison);
    }

    CheckTexts(check, ours, theirs);
    if (!check.numberBox.Empty()) {
        const std::string expected = RunnerTextAt(run, check.numberBox);
        EXPECT_FALSE(expected.empty()) << "the runner drew no text at " << check.numberBox.left;
        EXPECT_EQ(WineTextAt(wine.log, check.numberBox), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, WineCheckTest, ::testing::ValuesIn(WineChecks()),
                         [](const ::testing::TestParamInfo<WineCheck>& info) { return ProgramName(info.param); });

}  // namespace

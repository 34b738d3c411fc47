// relief end to end in the headless runner: the overlay text, when the level of detail is
// rebuilt, and the click box.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "tests/support/demo_run.h"

using namespace demo_test;
using ::testing::ElementsAre;

namespace {

// Frames whose triangle count differs from the frame before: the count changes only when the
// level of detail is rebuilt.
std::set<int> FramesWhereCountChanged(const std::vector<std::string>& counts) {
    std::set<int> frames;
    for (size_t i = 1; i < counts.size(); ++i)
        if (counts[i] != counts[i - 1]) frames.insert(int(i) + 1);
    return frames;
}

}  // namespace

TEST(ReliefRun, DrawsTheTriangleCountAndTheFrameRate) {
    const DemoRun run = RunDemo("relief --frames 2 --text");
    ASSERT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.lines.size(), 4u);
    const std::regex count(R"re(frame 1 text 70,10 "(\d+) triangles")re");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(run.lines[0], match, count)) << run.lines[0];
    EXPECT_GT(std::stoi(match[1]), 1000) << "the view from the start pose is refined";
    EXPECT_EQ(run.lines[1], "frame 1 text 10,10 \"0fps\"");
}

TEST(ReliefRun, RebuildsOnEveryTwentyFirstFrameWithAMovementKey) {
    const std::string input = WriteInputScript("relief_fly.txt", "1 down W\n");
    const DemoRun run = RunDemo("relief --frames 130 --text --input " + input);
    ASSERT_EQ(run.exitCode, 0);
    const std::set<int> changed = FramesWhereCountChanged(TextsAt(run, 70, 10, 130));
    EXPECT_FALSE(changed.empty()) << "flying 200 units forward changes the refinement";
    for (int frame : changed) EXPECT_EQ(frame % 21, 0) << "rebuilt on frame " << frame;
}

TEST(ReliefRun, CountingPausesWhileNoMovementKeyIsDown) {
    // Ten frames with W, twenty without, then W again: the 21st frame with W is frame 41.
    const std::string input = WriteInputScript("relief_pause.txt", "1 down W\n11 up W\n31 down D\n");
    const DemoRun run = RunDemo("relief --frames 62 --dt-ms 40 --text --input " + input);
    ASSERT_EQ(run.exitCode, 0);
    for (int frame : FramesWhereCountChanged(TextsAt(run, 70, 10, 62)))
        EXPECT_TRUE(frame == 41 || frame == 62) << "rebuilt on frame " << frame;
}

TEST(ReliefRun, MouseLookNeverRebuilds) {
    std::string script = "1 move 400 300\n1 rdown\n";
    for (int frame = 2; frame <= 60; ++frame) script += std::to_string(frame) + " move " + std::to_string(400 + frame * 5) + " 300\n";
    const DemoRun run = RunDemo("relief --frames 60 --text --input " + WriteInputScript("relief_look.txt", script));
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(FramesWhereCountChanged(TextsAt(run, 70, 10, 60)).empty());
}

TEST(ReliefRun, LeftClickShowsTheCursorPosition) {
    const std::string input = WriteInputScript("relief_click.txt", "1 move 0 0\n1 ldown\n2 lup\n3 move 123 45\n3 ldown\n4 lup\n");
    const DemoRun run = RunDemo("relief --frames 4 --text --input " + input);
    ASSERT_EQ(run.exitCode, 0);
    std::vector<std::string> boxes;
    for (const std::string& line : run.lines)
        if (line.find(" box ") != std::string::npos) boxes.push_back(line);
    EXPECT_THAT(boxes, ElementsAre("frame 1 box \"\" \"0,0\"", "frame 3 box \"\" \"123,45\""));
}

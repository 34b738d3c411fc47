// tether end to end in the headless runner: 300 frames of 16 ms with the text of every frame
// and a capture of the last one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/demo_run.h"

namespace {

struct TextFrame {
    int frame;
    float x, y, z;
};

using namespace demo_test;

std::vector<TextFrame> TextFrames(const std::vector<std::string>& lines, std::vector<std::string>* otherLines) {
    static const std::regex kTextLine(R"re(frame (\d+) text 0,0 "(-?\d+\.\d{6}),(-?\d+\.\d{6}),(-?\d+\.\d{6})")re");
    std::vector<TextFrame> frames;
    for (const std::string& line : lines) {
        std::smatch match;
        if (std::regex_match(line, match, kTextLine)) {
            frames.push_back({std::stoi(match[1]), std::stof(match[2]), std::stof(match[3]), std::stof(match[4])});
        } else if (!line.empty()) {
            otherLines->push_back(line);
        }
    }
    return frames;
}

TEST(TetherRun, RopeSwingsDownAndSettlesUnderTheHeldEnd) {
    const std::string capture = BuildDir() + "/tests/tether_frame300.png";
    std::remove(capture.c_str());
    const DemoRun run = RunDemo("tether --frames 300 --text --capture 300:" + capture);
    ASSERT_EQ(run.exitCode, 0);

    std::vector<std::string> otherLines;
    std::vector<TextFrame> frames = TextFrames(run.lines, &otherLines);
    EXPECT_TRUE(otherLines.empty()) << otherLines.front();
    ASSERT_EQ(frames.size(), 300u);
    for (int i = 0; i < 300; ++i) ASSERT_EQ(frames[i].frame, i + 1);

    // The first frame has no elapsed time: the second point still lies where it started.
    EXPECT_FLOAT_EQ(frames[0].x, 0.25f);
    EXPECT_FLOAT_EQ(frames[0].y, 0.0f);
    EXPECT_GT(frames[1].y, 1.0f) << "the held end pulls the second point up at once";
    EXPECT_LT(frames[1].y, 9.0f);

    const TextFrame& last = frames[299];
    const TextFrame& before = frames[298];
    EXPECT_NEAR(last.x, 0.0f, 0.1f);
    EXPECT_NEAR(last.y, 9.75f, 0.02f);
    EXPECT_EQ(last.z, 0.0f);
    float move = std::hypot(last.x - before.x, last.y - before.y);
    EXPECT_LT(move, 0.001f) << "settled";

    std::ifstream png(capture, std::ios::binary);
    char signature[8] = {};
    png.read(signature, 8);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG") << capture;
}

}  // namespace

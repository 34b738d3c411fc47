// flurry end to end in the headless runner: 300 frames of 16 ms, flying forward for the
// first second, with the text of every frame and captures of frames 1, 100 and 300.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <string>

#include "tests/support/demo_run.h"

namespace {

using namespace demo_test;

bool IsPng(const std::string& path) {
    std::ifstream png(path, std::ios::binary);
    char signature[8] = {};
    png.read(signature, 8);
    return std::string(signature + 1, 3) == "PNG";
}

TEST(FlurryRun, SnowFallsOverTheTerrainWhileTheCameraFlies) {
    const std::string input = WriteInputScript("flurry_fly.txt", "2 down W\n62 up W\n");
    const std::string shots = BuildDir() + "/tests/flurry_frame";
    for (int frame : {1, 100, 300}) std::remove((shots + std::to_string(frame) + ".png").c_str());

    const DemoRun run = RunDemo("flurry --frames 300 --text --input " + input + " --capture 1:" + shots +
                                "1.png --capture 100:" + shots + "100.png --capture 300:" + shots + "300.png");
    ASSERT_EQ(run.exitCode, 0);

    static const std::regex kTriangles(R"re(frame (\d+) text 70,10 "(\d+) triangles")re");
    static const std::regex kFps(R"re(frame (\d+) text 10,10 "\d+fps")re");
    std::map<int, int> triangles;
    int fpsLines = 0;
    for (const std::string& line : run.lines) {
        std::smatch match;
        if (std::regex_match(line, match, kTriangles)) {
            triangles[std::stoi(match[1])] = std::stoi(match[2]);
        } else if (std::regex_match(line, kFps)) {
            ++fpsLines;
        } else {
            ADD_FAILURE() << "unexpected output (a message box?): " << line;
        }
    }
    ASSERT_EQ(triangles.size(), 300u);
    EXPECT_EQ(fpsLines, 300);
    EXPECT_GT(triangles[1], 0);
    // W is down from frame 2: the level of detail follows the camera on the 21st such frame.
    EXPECT_EQ(triangles[21], triangles[1]);
    EXPECT_NE(triangles[22], triangles[21]);
    EXPECT_EQ(triangles[300], triangles[64]) << "no rebuild once the camera stops";

    for (int frame : {1, 100, 300}) EXPECT_TRUE(IsPng(shots + std::to_string(frame) + ".png")) << frame;
}

}  // namespace

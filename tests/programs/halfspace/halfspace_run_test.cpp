// halfspace end to end in the headless runner with the generated mouse: a scripted look down
// and a shot, every frame drawing its frame rate, no message, and captures written.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
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

TEST(HalfspaceRun, LooksDownFiresAndRunsWithoutAMessage) {
    // Drag down by 40 pixels (about 20 degrees), then tap Space.
    const std::string input = WriteInputScript(
        "halfspace_shot.txt", "2 move 400 300\n3 rdown\n4 move 400 340\n6 rup\n10 down SPACE\n11 up SPACE\n");
    const std::string flying = BuildDir() + "/tests/halfspace_frame20.png";
    const std::string bounced = BuildDir() + "/tests/halfspace_frame60.png";
    std::remove(flying.c_str());
    std::remove(bounced.c_str());
    const DemoRun run = RunDemo("halfspace --frames 60 --text --input " + input + " --capture 20:" + flying +
                                " --capture 60:" + bounced);
    ASSERT_EQ(run.exitCode, 0);
    int boxes = 0, fps = 0;
    for (const std::string& line : run.lines) {
        boxes += line.find(" box ") != std::string::npos;
        fps += line.find("text 10,10 \"") != std::string::npos && line.find("fps\"") != std::string::npos;
    }
    EXPECT_EQ(boxes, 0) << "the mouse, its textures and its tree load";
    EXPECT_EQ(fps, 60);
    EXPECT_TRUE(IsPng(flying));
    EXPECT_TRUE(IsPng(bounced));
}

}  // namespace

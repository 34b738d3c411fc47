// glasshall end to end in the headless runner with the generated characters: it starts on
// the green dinosaur, shows every character as N is pressed, and draws the frame rate.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/demo_run.h"

namespace {

using namespace demo_test;

TEST(GlasshallRun, PlaysEveryCharacterWithoutAMessage) {
    // Back away from the model, then show each character in turn for a while, with a few
    // animations on the way.
    std::string script = "2 down S\n40 up S\n";
    for (int model = 1; model <= 9; ++model) {
        const int frame = 40 + model * 20;
        script += std::to_string(frame) + " down N\n" + std::to_string(frame + 1) + " up N\n";
        const char* keys[] = {"2", "5", "Z", "O", "P"};
        const std::string key = keys[model % 5];
        script += std::to_string(frame + 2) + " down " + key + "\n" + std::to_string(frame + 3) + " up " + key + "\n";
    }
    const std::string input = WriteInputScript("glasshall_keys.txt", script);
    const std::string capture = BuildDir() + "/tests/glasshall_frame260.png";
    std::remove(capture.c_str());
    const DemoRun run = RunDemo("glasshall --frames 260 --text --input " + input + " --capture 260:" + capture);
    ASSERT_EQ(run.exitCode, 0);
    int boxes = 0, fps = 0;
    for (const std::string& line : run.lines) {
        boxes += line.find(" box ") != std::string::npos;
        fps += line.find("text 10,10 \"") != std::string::npos && line.find("fps\"") != std::string::npos;
    }
    EXPECT_EQ(boxes, 0) << "every character loads";
    EXPECT_EQ(fps, 260);
    std::ifstream png(capture, std::ios::binary);
    char signature[8] = {};
    png.read(signature, 8);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG") << capture;
}

}  // namespace

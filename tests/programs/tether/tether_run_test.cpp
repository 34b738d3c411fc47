// tether end to end in the headless runner: 300 frames of 16 ms with the text of every frame
// and a capture of the last one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/wait.h>
#include <regex>
#include <string>
#include <vector>

namespace {

struct TextFrame {
    int frame;
    float x, y, z;
};

std::string BuildDir() {
    const char* dir = std::getenv("DEMO_BUILD_DIR");
    return dir ? dir : "..";
}

// Runs the command and returns its standard output.
std::string Output(const std::string& command, int* exitCode) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[4096];
    size_t read;
    while ((read = fread(buffer, 1, sizeof(buffer), pipe)) > 0) output.append(buffer, read);
    int status = pclose(pipe);
    *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

std::vector<TextFrame> TextFrames(const std::string& output, std::vector<std::string>* otherLines) {
    static const std::regex kTextLine(R"re(frame (\d+) text 0,0 "(-?\d+\.\d{6}),(-?\d+\.\d{6}),(-?\d+\.\d{6})")re");
    std::vector<TextFrame> frames;
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        std::string line = output.substr(start, end - start);
        std::smatch match;
        if (std::regex_match(line, match, kTextLine)) {
            frames.push_back({std::stoi(match[1]), std::stof(match[2]), std::stof(match[3]), std::stof(match[4])});
        } else if (!line.empty()) {
            otherLines->push_back(line);
        }
        start = end + 1;
    }
    return frames;
}

TEST(TetherRun, RopeSwingsDownAndSettlesUnderTheHeldEnd) {
    const std::string capture = BuildDir() + "/tests/tether_frame300.png";
    std::remove(capture.c_str());
    int exitCode = -1;
    std::string output = Output(BuildDir() + "/bin/demo-run tether --frames 300 --text --capture 300:" + capture,
                                &exitCode);
    ASSERT_EQ(exitCode, 0) << output;

    std::vector<std::string> otherLines;
    std::vector<TextFrame> frames = TextFrames(output, &otherLines);
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

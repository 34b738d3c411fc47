// flurry end to end in the headless runner: 300 frames of 16 ms, flying forward for the
// first second, with the text of every frame and captures of frames 1, 100 and 300.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

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
    const int status = pclose(pipe);
    *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

bool IsPng(const std::string& path) {
    std::ifstream png(path, std::ios::binary);
    char signature[8] = {};
    png.read(signature, 8);
    return std::string(signature + 1, 3) == "PNG";
}

TEST(FlurryRun, SnowFallsOverTheTerrainWhileTheCameraFlies) {
    const std::string input = BuildDir() + "/tests/flurry_fly.txt";
    std::ofstream(input) << "2 down W\n62 up W\n";
    const std::string shots = BuildDir() + "/tests/flurry_frame";
    for (int frame : {1, 100, 300}) std::remove((shots + std::to_string(frame) + ".png").c_str());

    int exitCode = -1;
    const std::string output =
        Output(BuildDir() + "/bin/demo-run flurry --frames 300 --text --input " + input + " --capture 1:" + shots +
                   "1.png --capture 100:" + shots + "100.png --capture 300:" + shots + "300.png",
               &exitCode);
    ASSERT_EQ(exitCode, 0) << output;

    static const std::regex kTriangles(R"(frame (\d+) text 70,10 "(\d+) triangles")");
    static const std::regex kFps(R"(frame (\d+) text 10,10 "\d+fps")");
    std::map<int, int> triangles;
    int fpsLines = 0;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
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

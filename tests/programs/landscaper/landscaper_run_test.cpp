// landscaper end to end in the headless runner, on a copy of the generated resources: fly up,
// pick the well, drag it, grow it, drop it, plant a tree and press F5. The rewritten scene files
// hold the moved well, its new size and the new tree, and every other line as it was.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/demo_run.h"

namespace fs = std::filesystem;

namespace {

using namespace demo_test;

// Right-drag 40 pixels down (half a degree each: 20 degrees down), then S for 62 frames of
// 16 ms at 10 × 10 units a second: 99.2 units back along the view, so the middle of the
// screen still looks at the origin.
constexpr double kPitch = 20.0 * 3.14159265358979 / 180.0;
constexpr double kBack = 62 * 0.016 * 100.0;
constexpr int kWellX = 310, kWellY = 120;  // the well's stones, seen from there
constexpr int kDragX = 300, kDragY = 450;
constexpr int kPlantX = 500, kPlantY = 480;

std::string Move(int frame, int x, int y) {
    return std::to_string(frame) + " move " + std::to_string(x) + " " + std::to_string(y) + "\n";
}

const std::string kScript = "2 move 400 300\n3 rdown\n4 move 400 340\n6 rup\n8 down S\n70 up S\n" +
                            Move(75, kWellX, kWellY) + "76 ldown\n77 lup\n" +  // pick the well
                            Move(80, kDragX, kDragY) +                        // drag it
                            "85 down ADD\n95 up ADD\n"                        // ten frames of keypad +
                            "100 rdown\n101 rup\n" +                          // drop it
                            Move(105, kPlantX, kPlantY) + "106 down T\n107 up T\n110 down F5\n111 up F5\n";

struct Point {
    double x, y, z;
};

// Where the ray through a client pixel meets the ground, worked out from the camera's pose:
// a vertical field of view of a quarter turn's half, the client area's aspect.
Point GroundUnder(int x, int y, int width, int height) {
    const double p22 = 1.0 / std::tan(3.14159265358979 / 8), p11 = p22 * height / width;
    const double across = (2.0 * x / width - 1) / p11, up = (1 - 2.0 * y / height) / p22;
    const double s = std::sin(kPitch), c = std::cos(kPitch);
    const Point direction = {across, up * c - s, up * s + c};
    const Point eye = {0, kBack * s, -kBack * c};
    const double t = -eye.y / direction.y;
    return {eye.x + t * direction.x, 0, eye.z + t * direction.z};
}

std::vector<std::string> Lines(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(file, line)) lines.push_back(line);
    return lines;
}

// The value of "key=value" on a line, as a number.
double ValueOf(const std::string& line, const std::string& key) {
    EXPECT_EQ(line.rfind(key + "=", 0), 0u) << line;
    return std::stod(line.substr(key.size() + 1));
}

// A PNG's width and height, from its header.
std::pair<int, int> PngSize(const std::string& path) {
    std::ifstream png(path, std::ios::binary);
    std::vector<uint8_t> header(24);
    png.read(reinterpret_cast<char*>(header.data()), 24);
    auto big = [&](int at) { return header[at] << 24 | header[at + 1] << 16 | header[at + 2] << 8 | header[at + 3]; };
    return {big(16), big(20)};
}

class LandscaperRun : public ::testing::Test {
protected:
    void SetUp() override {
        resources = fs::temp_directory_path() / ("landscaper_run_" + std::to_string(getpid()));
        fs::remove_all(resources);
        fs::copy(BuildDir() + "/Resource", resources, fs::copy_options::recursive);
    }
    void TearDown() override { fs::remove_all(resources); }
    fs::path resources;
};

TEST_F(LandscaperRun, PickDragGrowPlantAndSaveRewriteOnlyWhatChanged) {
    const std::vector<std::string> objectsBefore = Lines(resources / "3DResource.ini");
    const std::vector<std::string> treesBefore = Lines(resources / "tree.ini");
    ASSERT_GT(objectsBefore.size(), 20u);
    ASSERT_EQ(objectsBefore[14], "name=well.x\r") << "the well is the second object";

    const std::string capture = BuildDir() + "/tests/landscaper_edit.png";
    std::remove(capture.c_str());
    const DemoRun run = RunDemo("landscaper --frames 120 --text --resources " + resources.string() + " --input " +
                                WriteInputScript("landscaper_edit.txt", kScript) + " --capture 120:" + capture);
    ASSERT_EQ(run.exitCode, 0);
    std::vector<std::string> boxes;
    for (const std::string& line : run.lines) {
        if (line.find(" box ") != std::string::npos) boxes.push_back(line);
    }
    EXPECT_EQ(boxes, std::vector<std::string>{"frame 110 box \"\" \"保存成功\""});
    const auto [width, height] = PngSize(capture);
    ASSERT_GT(width, 0);

    // The well: its size 1 grown by ten hundredths, standing on the ground under the cursor.
    const std::vector<std::string> objects = Lines(resources / "3DResource.ini");
    ASSERT_EQ(objects.size(), objectsBefore.size());
    const Point well = GroundUnder(kDragX, kDragY, width, height);
    EXPECT_EQ(objects[15], "size=1.100000\r");
    EXPECT_NEAR(ValueOf(objects[16], "posx"), well.x, 0.05);
    EXPECT_EQ(objects[17], "posy=0.000000\r");
    EXPECT_NEAR(ValueOf(objects[18], "posz"), well.z, 0.05);
    for (size_t i = 0; i < objects.size(); ++i) {
        if (i < 15 || i > 18) {
            EXPECT_EQ(objects[i], objectsBefore[i]) << "line " << i + 1;
        }
    }

    // Twenty-one trees: the new one where the ray under the cursor met the ground.
    const std::vector<std::string> trees = Lines(resources / "tree.ini");
    ASSERT_EQ(trees.size(), treesBefore.size() + 4);
    const Point planted = GroundUnder(kPlantX, kPlantY, width, height);
    EXPECT_EQ(trees[2], "num=21\r");
    const std::vector<std::string> tail(trees.end() - 4, trees.end());
    EXPECT_EQ(tail[0], "[Tree20]\r");
    EXPECT_NEAR(ValueOf(tail[1], "posx"), planted.x, 0.05);
    EXPECT_EQ(tail[2], "posy=0.000000\r");
    EXPECT_NEAR(ValueOf(tail[3], "posz"), planted.z, 0.05);
    for (size_t i = 0; i < treesBefore.size(); ++i) {
        if (i != 2) {
            EXPECT_EQ(trees[i], treesBefore[i]) << "line " << i + 1;
        }
    }

    for (const auto& entry : fs::directory_iterator(resources)) {
        EXPECT_NE(entry.path().extension(), ".saving") << "left behind: " << entry.path();
    }
}

}  // namespace

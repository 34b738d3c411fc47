// drizzle end to end, headless on the GL device: 300 frames of 16 ms, with frames 50, 150
// and 300 read back and checked for the rain's grey streaks and the lit, textured water;
// and the same run through demo-run, which saves those frames as PNG files.
#include "programs/drizzle/drizzle_app.h"

#include <host.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "framework/text_font.h"
#include "tests/support/demo_run.h"

namespace {

constexpr int LastFrame = 300;
constexpr uint32_t FrameMilliseconds16 = 16;

std::string ResourceFolder() {
    const char* build = std::getenv("DEMO_BUILD_DIR");
    return std::string(build ? build : "..") + "/Resource";
}

struct Image {
    int width = 0, height = 0;
    std::vector<uint32_t> argb;
    int Red(int x, int y) const { return argb[size_t(y) * width + x] >> 16 & 0xFF; }
    int Green(int x, int y) const { return argb[size_t(y) * width + x] >> 8 & 0xFF; }
    int Blue(int x, int y) const { return argb[size_t(y) * width + x] & 0xFF; }
};

// Runs the program until it has presented LastFrame frames, keeping the chosen ones.
std::map<int, Image> RunDrizzle(const std::vector<int>& keep) {
    std::map<int, Image> images;
    int presented = 0;
    host::SetHeadless(true);
    host::Reset();
    host::SetResourceFolder(ResourceFolder());
    host::SetVirtualClock([&presented] { return uint32_t(presented) * FrameMilliseconds16; });
    host::SetPresentHook([&](IDirect3DDevice9* device) {
        ++presented;
        for (int frame : keep) {
            Image& image = images[frame];
            if (frame == presented) host::ReadBackBuffer(device, &image.width, &image.height, &image.argb);
        }
        if (presented == LastFrame) host::InjectKey(VK_ESCAPE, true);
    });
    DrizzleApp app(nullptr);
    app.Run();
    ReleaseFonts();
    host::Reset();
    return images;
}

// Grey pixels of the streaks (0x66 each, give or take the blending at their edges) in the
// black sky above the water, below the frame rate's text.
int StreakPixels(const Image& image) {
    int count = 0;
    for (int y = 32; y < image.height / 3; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const int r = image.Red(x, y), g = image.Green(x, y), b = image.Blue(x, y);
            count += r > 0x30 && r < 0x90 && std::abs(r - g) <= 2 && std::abs(r - b) <= 2;
        }
    }
    return count;
}

// The average colour of a patch in the middle of the water as the camera sees it.
void WaterColour(const Image& image, double* red, double* green, double* blue) {
    *red = *green = *blue = 0;
    int count = 0;
    for (int y = image.height * 6 / 10; y < image.height * 7 / 10; ++y) {
        for (int x = image.width * 4 / 10; x < image.width * 6 / 10; ++x) {
            *red += image.Red(x, y);
            *green += image.Green(x, y);
            *blue += image.Blue(x, y);
            ++count;
        }
    }
    *red /= count;
    *green /= count;
    *blue /= count;
}

}  // namespace

TEST(DrizzleRun, RainFallsOntoLitRipplingWater) {
    const std::map<int, Image> images = RunDrizzle({50, 150, 300});
    for (const auto& [frame, image] : images) {
        ASSERT_GT(image.width, 0) << "frame " << frame << " was not read back";
        EXPECT_GT(StreakPixels(image), 150) << "frame " << frame;
        double red, green, blue;
        WaterColour(image, &red, &green, &blue);
        EXPECT_GT(blue, 60) << "frame " << frame;  // lit: far brighter than ambient alone
        EXPECT_GT(blue, red + 30) << "frame " << frame;
        EXPECT_GT(green, red + 20) << "frame " << frame;
    }

    // 300 frames of 16 ms are 240 steps: the drops have landed many times, and the rings
    // they struck have spread over much of the water.
    int disturbed = 0;
    for (const auto& row : Water.heights[Water.previous])
        for (float height : row) disturbed += std::fabs(height) > 1e-3f;
    EXPECT_GT(disturbed, 80 * 80 / 4);
    for (int i = 0; i < Rain::ActiveDrops; ++i) {
        EXPECT_GE(Water.rain.drops[i].x, 2.0f);
        EXPECT_LE(Water.rain.drops[i].y, 100.0f);
    }
}

TEST(DrizzleRun, DemoRunSavesTheChosenFrames) {
    const std::string shots = demo_test::BuildDir() + "/tests/drizzle_frame";
    std::string captures;
    for (int frame : {50, 150, 300}) {
        std::filesystem::remove(shots + std::to_string(frame) + ".png");
        captures += " --capture " + std::to_string(frame) + ":" + shots + std::to_string(frame) + ".png";
    }
    const demo_test::DemoRun run = demo_test::RunDemo("drizzle --frames 300 --text" + captures);
    ASSERT_EQ(run.exitCode, 0);
    const std::vector<std::string> fps = demo_test::TextsAt(run, 10, 10, 300);
    EXPECT_EQ(fps.front(), "0fps");
    EXPECT_EQ(fps.back(), "62fps");  // 16 ms frames on the virtual clock
    for (int frame : {50, 150, 300})
        EXPECT_GT(std::filesystem::file_size(shots + std::to_string(frame) + ".png"), 10000u) << frame;
}

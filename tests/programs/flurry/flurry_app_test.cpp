// The flurry program's hooks on the trace device, with its resource files generated into a
// folder of their own.
#include "programs/flurry/flurry_app.h"

#include <dinput.h>
#include <host.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/app_shell.h"
#include "framework/input_devices.h"
#include "framework/text_font.h"
#include "terrain/lod_terrain.h"
#include "tools/resgen/bitmap_writer.h"
#include "tools/resgen/dds_writer.h"
#include "tools/resgen/snow_textures.h"

namespace {

// A 33 x 33 heightmap rising by 1 per column, and the two snow textures.
std::string WriteResources() {
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "flurry_test_XXXXXX").string();
        std::string made = mkdtemp(pattern.data());
        std::vector<uint8_t> heights(33 * 33);
        for (size_t i = 0; i < heights.size(); ++i) heights[i] = uint8_t(i % 33);
        resgen::WriteGreyBitmap(made + "/2ter256.bmp", 33, 33, heights);
        resgen::WriteColourBitmap(made + "/blank.bmp", 16, 16, resgen::MakeSnowGround(16));
        resgen::WriteArgbDds(made + "/snowflake.dds", 16, 16, resgen::MakeSnowflake(16));
        return made;
    }();
    return folder;
}

class FlurryAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::Reset();
        host::SetResourceFolder(WriteResources());
        host::SetMessageBoxListener([this](const std::wstring&, const std::wstring& text) { boxes.push_back(text); });
        std::memset(KeyboardState, 0, sizeof(KeyboardState));
        srand(1);
        ElapsedTime = 0.1;
        app.device = host::CreateTraceDevice();
        app.Init();
    }
    void TearDown() override {
        app.Cleanup();
        ReleaseFonts();
        app.device->Release();  // before the snow lets go of its buffers, as in a real run
        app.device = nullptr;
        std::memset(KeyboardState, 0, sizeof(KeyboardState));
        host::Reset();
    }

    int CountCalls(const std::string& prefix) const {
        int count = 0;
        for (const std::string& call : host::TraceCalls(app.device)) count += call.rfind(prefix, 0) == 0;
        return count;
    }

    FlurryApp app{nullptr};
    std::vector<std::wstring> boxes;
};

TEST_F(FlurryAppTest, InitLoadsTheSnowAndTheTerrainWithoutComplaint) {
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(GridWidth, 33);
    EXPECT_NE(TerrainTexture, nullptr);
    EXPECT_EQ(app.snow.particles.size(), 5000u);
    EXPECT_NE(app.snow.texture, nullptr);
}

TEST_F(FlurryAppTest, FrameHoldsTheCameraAboveTheGroundInsideTheTerrain) {
    app.camera.SetPosition(-50, 500, 60.5f);
    app.Frame();
    // Pushed back onto the x = 0 edge; the ground there is the first column, height 0.
    EXPECT_EQ(app.camera.position.x, 0.0f);
    EXPECT_EQ(app.camera.position.z, 60.5f);
    EXPECT_FLOAT_EQ(app.camera.position.y, 30.0f);

    app.camera.SetPosition(1000, 0, 20);  // beyond the far edge, x = 256: column 32
    host::ClearTrace(app.device);
    app.Frame();
    EXPECT_EQ(app.camera.position.x, 256.0f);
    EXPECT_FLOAT_EQ(app.camera.position.y, 32.0f + 30.0f);
    EXPECT_EQ(CountCalls("DrawPrimitive(D3DPT_POINTLIST"), 10);
    EXPECT_EQ(CountCalls("Present("), 1);
}

TEST_F(FlurryAppTest, FrameOfATenthOfASecondMovesFlakesByHalfASecond) {
    Particle& flake = app.snow.particles.front();
    flake.position = D3DXVECTOR3(10, 50, -10);
    flake.velocity = D3DXVECTOR3(-2, -8, 0);
    app.Frame();
    EXPECT_FLOAT_EQ(flake.position.x, 9.0f);
    EXPECT_FLOAT_EQ(flake.position.y, 46.0f);
    EXPECT_FLOAT_EQ(flake.position.z, -10.0f);
}

TEST_F(FlurryAppTest, MovementKeysRebuildTheTerrainEveryTwentyFirstFrame) {
    // An emptied triangle list shows whether a frame rebuilt the level of detail.
    TriangleList.clear();
    for (int i = 0; i < 5; ++i) app.Frame();  // standing still counts nothing
    EXPECT_EQ(app.moveFrames, 0);

    KeyboardState[DIK_A] = 0x80;
    for (int i = 0; i < 20; ++i) app.Frame();
    EXPECT_EQ(app.moveFrames, 20);
    KeyboardState[DIK_A] = 0;
    app.Frame();
    EXPECT_EQ(app.moveFrames, 20);  // kept while no key is held
    EXPECT_TRUE(TriangleList.empty());

    KeyboardState[DIK_W] = 0x80;
    app.Frame();
    EXPECT_EQ(app.moveFrames, 0);
    EXPECT_FALSE(TriangleList.empty());
}

}  // namespace

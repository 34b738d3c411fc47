// The drizzle program's hooks on the trace device: what Init sets up, the order of a frame,
// and the water's own step clock.
#include "programs/drizzle/drizzle_app.h"

#include <host.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "framework/app_shell.h"
#include "framework/input_devices.h"
#include "framework/text_font.h"
#include "tools/resgen/bitmap_writer.h"
#include "tools/resgen/water_texture.h"

namespace {

std::string WriteResources() {
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "drizzle_test_XXXXXX").string();
        std::string made = mkdtemp(pattern.data());
        resgen::WriteColourBitmap(made + "/water.bmp", 32, 32, resgen::MakeWaterTexture(32));
        return made;
    }();
    return folder;
}

class DrizzleAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::Reset();
        host::SetResourceFolder(WriteResources());
        host::SetVirtualClock([this] { return now; });
        host::SetMessageBoxListener([this](const std::wstring& caption, const std::wstring& text) {
            boxes.push_back(caption + L"|" + text);
        });
        host::SetTextListener([this](int x, int y, const std::wstring& text) {
            if (x == 10 && y == 10) fpsTexts.push_back(text);
        });
        std::memset(KeyboardState, 0, sizeof(KeyboardState));
        MouseButtons[0] = MouseButtons[1] = 0;
        app.device = host::CreateTraceDevice();
        app.Init();
    }
    void TearDown() override {
        app.Cleanup();
        ReleaseFonts();
        app.device->Release();
        app.device = nullptr;
        MouseButtons[0] = 0;
        host::Reset();
    }

    int IndexOf(const std::string& prefix) const {
        const std::vector<std::string>& calls = host::TraceCalls(app.device);
        for (size_t i = 0; i < calls.size(); ++i)
            if (calls[i].rfind(prefix, 0) == 0) return int(i);
        return -1;
    }

    uint32_t now = 5000;
    DrizzleApp app{nullptr};
    std::vector<std::wstring> boxes;
    std::vector<std::wstring> fpsTexts;
};

TEST_F(DrizzleAppTest, InitSetsUpTheWaterTheLightAndTheCamera) {
    const std::vector<std::string>& calls = host::TraceCalls(app.device);
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls.front(), "SetRenderState(D3DRS_CULLMODE, 1)");
    EXPECT_GE(IndexOf("CreateVertexBuffer(204800, 0, 274, D3DPOOL_DEFAULT"), 0);
    EXPECT_GE(IndexOf("CreateIndexBuffer(74892, 8, D3DFMT_INDEX16, D3DPOOL_DEFAULT"), 0);
    // The light is set, enabled and set once more, after everything else.
    const std::vector<std::string> tail(calls.end() - 4, calls.end());
    EXPECT_EQ(tail[0], "SetRenderState(D3DRS_LIGHTING, 1)");
    EXPECT_EQ(tail[1].rfind("SetLight(0, {D3DLIGHT_DIRECTIONAL", 0), 0u) << tail[1];
    EXPECT_EQ(tail[2], "LightEnable(0, 1)");
    EXPECT_EQ(tail[3], tail[1]);

    EXPECT_NEAR(app.light.Direction.x, 0.5773503f, 1e-6f);
    EXPECT_NEAR(app.light.Direction.y, -0.5773503f, 1e-6f);
    EXPECT_NEAR(app.light.Direction.z, 0.5773503f, 1e-6f);
    EXPECT_FLOAT_EQ(app.light.Range, 1.8446743e19f);
    EXPECT_EQ(app.light.Specular.r, 0.5f);
    EXPECT_EQ(app.light.Ambient.g, 0.5f);
    EXPECT_EQ(app.light.Diffuse.b, 1.0f);

    EXPECT_NE(Water.texture, nullptr);
    EXPECT_EQ(app.camera.position, D3DXVECTOR3(-10, 20, -20));
    EXPECT_FLOAT_EQ(app.camera.pitch, 0.34906587f);
    EXPECT_FLOAT_EQ(app.camera.yaw, 0.62831855f);
    EXPECT_EQ(app.overlayFont.height, 18);
    EXPECT_EQ(app.overlayFont.colour, 0xFFFFFFFFu);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(DrizzleAppTest, FrameLightsAndDrawsTheWaterInsideTheScene) {
    host::ClearTrace(app.device);
    app.Frame();
    const std::vector<std::string>& calls = host::TraceCalls(app.device);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "Clear(0, null, 3, 0xff000000, 1, 0)");
    EXPECT_EQ(calls.back(), "Present(null, null, null, null)");
    const std::vector<int> order = {
        IndexOf("SetRenderState(D3DRS_AMBIENT, 0xff4c4c4c)"),
        IndexOf("BeginScene()"),
        IndexOf("SetRenderState(D3DRS_SPECULARENABLE, 1)"),
        IndexOf("SetMaterial({Diffuse (1, 1, 1, 1), Ambient (0.3, 0.3, 0.3, 1), Specular (0.2, 0.2, 0.2, 1), "
                "Emissive (0, 0, 0, 0), Power 5})"),
        IndexOf("SetTransform(D3DTS_VIEW"),
        IndexOf("DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 6400, 0, 12482)"),
        IndexOf("EndScene()"),
    };
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_GE(order[i], 0) << "call " << i;
        if (i > 0) {
            EXPECT_LT(order[i - 1], order[i]) << "call " << i;
        }
    }
    EXPECT_EQ(fpsTexts.size(), 1u);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(DrizzleAppTest, WaterKeepsItsOwnStepClockWhateverTheFrameTime) {
    ElapsedTime = 1.0;  // the frame clock plays no part
    int steps = 0;
    for (int frame = 0; frame <= 40; ++frame) {
        now = 5000 + frame * 5;
        app.Frame();
        steps += Water.stepTaken;
    }
    EXPECT_EQ(steps, 10);  // 200 ms at 5 ms a frame
    steps = 0;
    for (int frame = 1; frame <= 10; ++frame) {
        now = 5200 + frame * 50;
        app.Frame();
        steps += Water.stepTaken;
    }
    EXPECT_EQ(steps, 10);  // one step per frame however long the frame
}

TEST_F(DrizzleAppTest, LeftClickShowsTheCursorPosition) {
    MouseButtons[0] = 1;
    app.Frame();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(std::regex_match(boxes[0], std::wregex(LR"(\|-?\d+,-?\d+)"))) << boxes[0].size();
    MouseButtons[0] = 0;
    app.Frame();
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(DrizzleAppTest, CleanupReleasesTheWater) {
    app.Cleanup();
    EXPECT_EQ(Water.texture, nullptr);
    EXPECT_EQ(Water.vertexBuffer, nullptr);
    EXPECT_EQ(Water.indexBuffer, nullptr);
    EXPECT_EQ(Water.rain.line, nullptr);
}

}  // namespace

// The glasshall program's hooks on the trace device: what Init sets up, the keys, and the
// order in which one frame draws the mirror, the shadow and the model.
#include "programs/glasshall/glasshall_app.h"

#include <dinput.h>
#include <host.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/app_shell.h"
#include "framework/input_devices.h"
#include "framework/text_font.h"
#include "tests/md2/md2_test_files.h"
#include "tools/resgen/bitmap_writer.h"

namespace fs = std::filesystem;

namespace {

class GlasshallAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::Reset();
        resources = fs::temp_directory_path() / ("glasshall_test_" + std::to_string(getpid()));
        fs::remove_all(resources);
        // Only the starting model's folder exists; the others stay empty without a message.
        fs::create_directories(resources / "MD2Model" / "yoshi");
        md2_test::WriteFile((resources / "MD2Model/yoshi/yoshi.md2").string(), md2_test::Bytes(md2_test::Triangle(3)));
        resgen::WriteColourBitmap((resources / "MD2Model/yoshi/yoshi.bmp").string(), 2, 2,
                                  std::vector<uint8_t>(12, 80));
        host::SetResourceFolder(resources.string());
        host::SetMessageBoxListener([this](const std::wstring&, const std::wstring& text) { boxes.push_back(text); });
        std::memset(KeyboardState, 0, sizeof(KeyboardState));
        NextModelLatch = true;
        ElapsedTime = 0;
        srand(1);
        app.device = host::CreateTraceDevice();
        app.Init();
    }
    void TearDown() override {
        app.Cleanup();
        ReleaseFonts();
        app.device->Release();
        app.device = nullptr;
        std::memset(KeyboardState, 0, sizeof(KeyboardState));
        fs::remove_all(resources);
        host::Reset();
    }
    // Gives every model the full set of frames, so each actor can play every animation.
    void GiveEveryModelFrames() {
        for (int i = 0; i < ModelCount; ++i) {
            app.models[i]->frameCount = 199;
            app.actors[i].Attach(app.models[i].get());
        }
    }
    // One frame's keys: the given keys down, all others up.
    void Keys(std::initializer_list<int> down) {
        std::memset(KeyboardState, 0, sizeof(KeyboardState));
        for (int key : down) KeyboardState[key] = 0x80;
        app.HandleKeys();
    }
    int IndexOf(const std::string& call, int from = 0) const {
        const std::vector<std::string>& calls = host::TraceCalls(app.device);
        for (size_t i = size_t(from); i < calls.size(); ++i)
            if (calls[i].rfind(call, 0) == 0) return int(i);
        return -1;
    }

    fs::path resources;
    GlasshallApp app{nullptr};
    std::vector<std::wstring> boxes;
};

TEST_F(GlasshallAppTest, InitLoadsTheModelsLightsTheHallAndFacesTheMirror) {
    const std::vector<std::string>& calls = host::TraceCalls(app.device);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0], "SetRenderState(D3DRS_CULLMODE, 1)");
    EXPECT_EQ(calls[1], "CreateVertexBuffer(192, 0, 18, D3DPOOL_DEFAULT, ptr, null)");
    EXPECT_EQ(app.current, 6);
    EXPECT_TRUE(boxes.empty());
    ASSERT_EQ(app.models[6]->meshes.size(), 1u);
    EXPECT_EQ(app.actors[6].frameCount, 3);
    EXPECT_EQ(app.actors[6].model, app.models[6].get());
    EXPECT_TRUE(app.models[0]->meshes.empty());

    EXPECT_EQ(app.light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_NEAR(app.light.Direction.x, 0.57735f, 1e-5f);
    EXPECT_NEAR(app.light.Direction.y, -0.57735f, 1e-5f);
    EXPECT_NEAR(app.light.Direction.z, -0.57735f, 1e-5f);
    EXPECT_FLOAT_EQ(app.light.Range, std::sqrt(FLT_MAX));
    EXPECT_NE(IndexOf("SetRenderState(D3DRS_AMBIENT, 0xff191919)"), -1);
    EXPECT_NE(IndexOf("LightEnable(0, 1)"), -1);
    EXPECT_EQ(app.font.height, 18);
    EXPECT_FLOAT_EQ(app.camera.yaw, 1.5707964f);
    EXPECT_EQ(app.camera.position, D3DXVECTOR3(0, 0, 0));
}

TEST_F(GlasshallAppTest, NextModelWrapsAfterNinePressesAndHoldingShowsOneMore) {
    for (int press = 0; press < 9; ++press) {
        Keys({DIK_N});
        EXPECT_EQ(app.current, (7 + press) % 9);
        Keys({});
    }
    EXPECT_EQ(app.current, 6);
    for (int frame = 0; frame < 5; ++frame) Keys({DIK_N});
    EXPECT_EQ(app.current, 7);
}

TEST_F(GlasshallAppTest, AnimationKeyWithNGoesToTheNewModel) {
    GiveEveryModelFrames();
    Keys({DIK_N, DIK_3});
    EXPECT_EQ(app.current, 7);
    EXPECT_EQ(app.actors[7].animation, 2);
    EXPECT_EQ(app.actors[6].animation, 0);
    // With several down, the last key in the table's order wins: P (15) after 1 (0).
    Keys({DIK_1, DIK_P});
    EXPECT_EQ(app.actors[7].animation, 15);
    Keys({DIK_Z});
    EXPECT_EQ(app.actors[7].animation, 9);
}

TEST_F(GlasshallAppTest, HiddenModelKeepsItsAnimationAndFrame) {
    GiveEveryModelFrames();
    Keys({DIK_4});
    app.actors[6].Advance(0.1f);
    const Md2Actor& yoshi = app.actors[6];
    const int animation = yoshi.animation, current = yoshi.currentFrame, next = yoshi.nextFrame;
    const float blend = yoshi.blend;
    Keys({DIK_N});
    FrameMilliseconds = 200;
    for (int frame = 0; frame < 4; ++frame) app.Frame();
    for (int press = 0; press < 8; ++press) {
        Keys({});
        Keys({DIK_N});
    }
    ASSERT_EQ(app.current, 6);
    EXPECT_EQ(yoshi.animation, animation);
    EXPECT_EQ(yoshi.currentFrame, current);
    EXPECT_EQ(yoshi.nextFrame, next);
    EXPECT_EQ(yoshi.blend, blend);
}

TEST_F(GlasshallAppTest, LightKeysSwingTheLightAndItsShadow) {
    host::ClearTrace(app.device);
    for (int frame = 0; frame < 10; ++frame) Keys({DIK_K});
    EXPECT_NEAR(app.lightVector.x, 2.0f, 1e-5f);
    const float length = std::sqrt(6.0f);  // |(2, -1, -1)|
    EXPECT_NEAR(app.light.Direction.x, 2 / length, 1e-5f);
    EXPECT_NEAR(app.light.Direction.y, -1 / length, 1e-5f);
    EXPECT_NEAR(app.light.Direction.z, -1 / length, 1e-5f);
    int lights = 0;
    for (const std::string& call : host::TraceCalls(app.device)) lights += call.rfind("SetLight(0,", 0) == 0;
    EXPECT_EQ(lights, 10);

    Keys({DIK_K, DIK_L});
    EXPECT_NEAR(app.lightVector.x, 2.0f, 1e-5f) << "the two cancel";
    for (int frame = 0; frame < 40; ++frame) Keys({DIK_L});
    EXPECT_NEAR(app.lightVector.x, -2.0f, 1e-4f) << "no bound";
    EXPECT_EQ(app.lightVector.w, 0.0f);
}

TEST_F(GlasshallAppTest, FrameDrawsMirrorThenShadowThenTheModel) {
    app.Frame();
    host::ClearTrace(app.device);
    app.Frame();
    const std::vector<std::string>& calls = host::TraceCalls(app.device);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "Clear(0, null, 7, 0xff7f7f7f, 1, 0)");
    EXPECT_EQ(calls.back(), "Present(null, null, null, null)");
    const int floor = IndexOf("DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2)");
    const int wall = IndexOf("DrawPrimitive(D3DPT_TRIANGLESTRIP, 4, 2)");
    const int mask = IndexOf("SetRenderState(D3DRS_STENCILPASS, 3)");
    const int maskedWall = IndexOf("DrawPrimitive(D3DPT_TRIANGLESTRIP, 4, 2)", mask);
    const int reflection = IndexOf("SetRenderState(D3DRS_CULLMODE, 2)");
    const int shadow = IndexOf("SetRenderState(D3DRS_STENCILPASS, 7)");
    const int model = IndexOf("SetRenderState(D3DRS_STENCILENABLE, 0)", shadow);
    EXPECT_TRUE(0 < floor && floor < wall && wall < mask && mask < maskedWall && maskedWall < reflection &&
                reflection < shadow && shadow < model)
        << floor << " " << wall << " " << mask << " " << maskedWall << " " << reflection << " " << shadow << " "
        << model;
    // After the frame rate's text, the model three times: reflected and textured, flattened
    // and untextured, then itself.
    std::vector<std::string> textures;
    for (size_t i = size_t(floor); i < calls.size(); ++i)
        if (calls[i].rfind("SetTexture(", 0) == 0) textures.push_back(calls[i]);
    const std::vector<std::string> expected = {"SetTexture(0, ptr)",  "SetTexture(0, null)", "SetTexture(0, null)",
                                               "SetTexture(0, null)", "SetTexture(0, ptr)",  "SetTexture(0, null)"};
    EXPECT_EQ(textures, expected);

    // What the frame leaves behind for the next.
    DWORD value = 0;
    app.device->GetRenderState(D3DRS_STENCILENABLE, &value);
    EXPECT_EQ(value, DWORD(FALSE));
    app.device->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, DWORD(D3DCULL_CCW));
    app.device->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, DWORD(D3DZB_TRUE));
    app.device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, DWORD(FALSE));
}

TEST_F(GlasshallAppTest, CleanupReleasesTheModelsBeforeTheDevice) {
    app.Cleanup();
    EXPECT_EQ(app.sceneBuffer, nullptr);
    for (int i = 0; i < ModelCount; ++i) {
        EXPECT_EQ(app.models[i], nullptr);
        EXPECT_EQ(app.actors[i].model, nullptr);
    }
}

}  // namespace

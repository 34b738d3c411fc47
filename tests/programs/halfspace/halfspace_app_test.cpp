// The halfspace program's hooks on the trace device, with a mouse mesh and a BSP tree of a
// wall written by the test: what Init sets up, the shot along the view, the ball's flight
// to the wall and its bounce, a miss, a held Space, and Cleanup.
#include "programs/halfspace/halfspace_app.h"

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
#include "tests/bsp/bsp_test_support.h"
#include "tests/support/x_binary_writer.h"
#include "tools/resgen/bitmap_writer.h"

namespace fs = std::filesystem;

namespace {

// The wall x + z = 5 (in front of the camera at the origin, which looks along +z), facing
// the camera: its winding normal points along (-1, 0, -1).
const BspTriangle kWall = {{-20, -20, 25}, {-20, 40, 25}, {40, -20, -35}};

const char kMouse[] = R"(xof 0303txt 0032
Mesh Mouse {
 3; 0.0;0.0;100.0;, 100.0;0.0;100.0;, 0.0;100.0;100.0;;
 1; 3;0,1,2;;
 MeshMaterialList { 1; 1; 0;;
  Material { 0.2;0.2;0.2;1.0;; 4.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; TextureFilename { "mouse_shell.bmp"; } }
 }
 MeshTextureCoords { 3; 0.0;0.0;, 1.0;0.0;, 0.0;1.0;; }
}
)";

class HalfspaceAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::Reset();
        resources = fs::temp_directory_path() / ("halfspace_test_" + std::to_string(getpid()));
        fs::remove_all(resources);
        fs::create_directories(resources);
        demo_test::WriteText((resources / "mouse.x").string(), kMouse);
        resgen::WriteColourBitmap((resources / "mouse_shell.bmp").string(), 2, 2, std::vector<uint8_t>(12, 90));
        std::vector<uint8_t> tree;
        bsp_test::PutNode(&tree, kWall);
        bsp_test::PutEmpty(&tree);
        bsp_test::PutEmpty(&tree);
        demo_test::WriteBytes((resources / "mouse.bsp").string(), tree);
        host::SetResourceFolder(resources.string());
        host::SetMessageBoxListener([this](const std::wstring&, const std::wstring& text) { boxes.push_back(text); });
        std::memset(KeyboardState, 0, sizeof(KeyboardState));
        ElapsedTime = 0.05;  // half a unit of flight a frame
        app.device = host::CreateTraceDevice();
    }
    void TearDown() override {
        app.Cleanup();
        ReleaseFonts();
        if (app.device != nullptr) app.device->Release();
        std::memset(KeyboardState, 0, sizeof(KeyboardState));
        fs::remove_all(resources);
        host::Reset();
    }

    void Space(bool down) { KeyboardState[DIK_SPACE] = down ? 0x80 : 0; }
    // Runs frames without recording them.
    void Frames(int count) {
        host::SetTraceRecording(app.device, false);
        for (int i = 0; i < count; ++i) app.Frame();
        host::SetTraceRecording(app.device, true);
    }
    int IndexOf(const std::string& prefix, int from = 0) const {
        const std::vector<std::string>& calls = host::TraceCalls(app.device);
        for (size_t i = size_t(from); i < calls.size(); ++i) {
            if (calls[i].rfind(prefix, 0) == 0) return int(i);
        }
        return -1;
    }

    fs::path resources;
    HalfspaceApp app{nullptr};
    std::vector<std::wstring> boxes;
};

void ExpectNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float tolerance = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

}  // namespace

TEST_F(HalfspaceAppTest, InitLoadsThePosedMouseTheBallTheLightAndTheTree) {
    app.Init();
    EXPECT_TRUE(boxes.empty());
    const std::vector<std::string>& calls = host::TraceCalls(app.device);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0], "SetRenderState(D3DRS_CULLMODE, 1)");
    // The ball: 100 slices and stacks, 9902 vertices of 24 bytes, 19800 faces.
    const int sphere = IndexOf("CreateVertexBuffer(237648, 0, 18, D3DPOOL_MANAGED");
    EXPECT_GT(sphere, IndexOf("CreateTexture("));
    EXPECT_EQ(IndexOf("CreateIndexBuffer(118800, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED"), sphere + 1);
    const int ambient = IndexOf("SetRenderState(D3DRS_AMBIENT, 0xff191919)");
    EXPECT_GT(ambient, sphere);
    ASSERT_GE(ambient, 0);
    ASSERT_GE(calls.size(), size_t(ambient) + 5);
    EXPECT_EQ(calls[ambient + 1], "SetRenderState(D3DRS_LIGHTING, 1)");
    const std::string light =
        "SetLight(0, {D3DLIGHT_DIRECTIONAL, Diffuse (1, 1, 1, 1), Specular (0.2, 0.2, 0.2, 1), Ambient (0.5, 0.5, "
        "0.5, 1), Position (0, 0, 0), Direction (0.57735, -0.57735, -0.57735), Range 1.84467e+19, Falloff 0, "
        "Attenuation (0, 0, 0), Theta 0, Phi 0})";
    EXPECT_EQ(calls[ambient + 2], light);
    EXPECT_EQ(calls[ambient + 3], "LightEnable(0, 1)");
    EXPECT_EQ(calls[ambient + 4], light);
    EXPECT_EQ(calls.size(), size_t(ambient) + 5);

    // The mouse, scaled by 0.01 and turned a quarter about x: (x, y, z) -> (x, z, -y) / 100.
    ASSERT_EQ(app.mouse.materialCount, 1u);
    EXPECT_NE(app.mouse.textures[0], nullptr);
    ASSERT_TRUE(app.mouse.Lock());
    const BspTriangle face = app.mouse.Face(0);
    app.mouse.Unlock();
    ExpectNear(face.p1, {0, 1, 0});
    ExpectNear(face.p2, {1, 1, 0});
    ExpectNear(face.p3, {0, 1, -1});
    EXPECT_EQ(app.ball.radius, 0.05f);
    EXPECT_EQ(app.overlayFont.height, 18);
    EXPECT_EQ(app.overlayFont.colour, 0xFFFFFFFFu);
    ASSERT_NE(app.tree.root, nullptr);
    EXPECT_EQ(app.tree.root->triangle.p3, kWall.p3);
}

TEST_F(HalfspaceAppTest, AFrameDrawsTheMouseInWhiteThenTheBallInYellowWhereItIs) {
    app.Init();
    app.ball.position = D3DXVECTOR3(1, 2, 3);
    host::ClearTrace(app.device);
    app.Frame();
    const std::vector<std::string>& calls = host::TraceCalls(app.device);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "Clear(0, null, 3, 0xff000000, 1, 0)");
    EXPECT_EQ(calls.back(), "Present(null, null, null, null)");
    const int begin = IndexOf("BeginScene(");
    const int specular = IndexOf("SetRenderState(D3DRS_SPECULARENABLE, 1)");
    const int white = IndexOf("SetMaterial({Diffuse (1, 1, 1, 1), Ambient (1, 1, 1, 1), Specular (1, 1, 1, 1), "
                              "Emissive (0, 0, 0, 0), Power 10})");
    const int view = IndexOf("SetTransform(D3DTS_VIEW");
    const int mouse = IndexOf("DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1)");
    const int world = IndexOf("SetTransform(D3DTS_WORLD, [1 0 0 0; 0 1 0 0; 0 0 1 0; 1 2 3 1])");
    const int yellow = IndexOf("SetMaterial({Diffuse (1, 1, 0, 1), Ambient (1, 1, 0, 1), Specular (1, 1, 0, 1), "
                               "Emissive (0, 0, 0, 0), Power 10})");
    const int ball = IndexOf("DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 9902, 0, 19800)");
    const int identity = IndexOf("SetTransform(D3DTS_WORLD, [1 0 0 0; 0 1 0 0; 0 0 1 0; 0 0 0 1])");
    const int end = IndexOf("EndScene(");
    EXPECT_TRUE(0 < begin && begin < specular && specular < white && white < view && view < mouse &&
                mouse < world && world < yellow && yellow < ball && ball < identity && identity < end)
        << begin << " " << specular << " " << white << " " << view << " " << mouse << " " << world << " "
        << yellow << " " << ball << " " << identity << " " << end;
    EXPECT_EQ(IndexOf("SetMaterial(", white + 1), yellow) << "the mouse is drawn without its own materials";
}

TEST_F(HalfspaceAppTest, TheBallStopsShortOfTheWallByItsRadiusThenLeavesMirrored) {
    app.Init();
    Space(true);
    app.Frame();
    Space(false);
    // The view ray from the origin along +z meets the wall at (0, 0, 5), 5 units away.
    EXPECT_EQ(app.lastHit.p1, kWall.p1);
    EXPECT_EQ(app.lastHit.p3, kWall.p3);
    EXPECT_TRUE(app.ball.bouncePending);
    // n = (-1, 0, -1) / sqrt 2, d = (0, 0, 1): d - 2 (n . d) n = (-1, 0, 0).
    ExpectNear(app.ball.bounceDirection, {-1, 0, 0});
    ExpectNear(app.ball.direction, {0, 0, 1});
    // 4.95 units to fly, half a unit a frame; the first half unit is flown in the shot's frame.
    ExpectNear(app.ball.position, {0, 0, 0.5f});
    Frames(8);
    ExpectNear(app.ball.position, {0, 0, 4.5f});
    EXPECT_NEAR(app.ball.remaining, 0.45f, 1e-5f);
    // The next step would take it past 4.95: it stays, and turns.
    app.Frame();
    ExpectNear(app.ball.position, {0, 0, 4.5f});
    ExpectNear(app.ball.direction, {-1, 0, 0});
    EXPECT_EQ(app.ball.remaining, kBallFlight);
    app.Frame();
    ExpectNear(app.ball.position, {-0.5f, 0, 4.5f});
}

TEST_F(HalfspaceAppTest, TheShotFollowsTheViewWhereverTheCameraLooks) {
    app.Init();
    // Turned a quarter to the left the camera looks along -x: past the wall's edge.
    app.camera.SetPosition(3, 0, 0);
    app.camera.SetAngles(0, -D3DX_PI / 2);
    Space(true);
    app.Frame();
    D3DXVECTOR3 look;
    app.camera.GetLookDirection(&look);
    D3DXVec3Normalize(&look, &look);
    ExpectNear(look, {-1, 0, 0});
    ExpectNear(app.ball.direction, look);
    // From (3, 0, 0) along -x the wall x + z = 5 lies behind: nothing is hit.
    EXPECT_FALSE(app.ball.bouncePending);
    app.camera.SetPosition(8, 0, 0);
    app.Frame();
    EXPECT_TRUE(app.ball.bouncePending) << "from x = 8 the wall is 3 units ahead";
    ExpectNear(app.ball.position, {8 - 0.5f, 0, 0});
    // d = (-1, 0, 0) leaves along (0, 0, 1).
    ExpectNear(app.ball.bounceDirection, {0, 0, 1});
}

TEST_F(HalfspaceAppTest, AMissFliesTenThousandUnitsLessTheRadiusAndStays) {
    app.Init();
    app.camera.SetPosition(0, 0, 100);  // beyond the wall, looking away from it
    ElapsedTime = 2.5;                 // 25 units a frame
    Space(true);
    app.Frame();
    Space(false);
    EXPECT_FALSE(app.ball.bouncePending);
    // 9999.95 to fly: 399 whole steps of 25 fit, the 400th does not.
    Frames(398);
    ExpectNear(app.ball.position, {0, 0, 100 + 9975.0f});
    EXPECT_NEAR(app.ball.remaining, 24.95f, 1e-3f);
    Frames(5);
    ExpectNear(app.ball.position, {0, 0, 100 + 9975.0f});
    EXPECT_LT(app.ball.remaining, 0.0f);
    EXPECT_FALSE(app.ball.bouncePending);
}

TEST_F(HalfspaceAppTest, HoldingSpaceKeepsTheBallAtTheCamera) {
    app.Init();
    app.camera.SetPosition(1, 2, -3);
    Space(true);
    for (int frame = 0; frame < 5; ++frame) {
        host::ClearTrace(app.device);
        app.Frame();
        // Drawn where it was launched this frame, and advanced by one step afterwards.
        EXPECT_GE(IndexOf("SetTransform(D3DTS_WORLD, [1 0 0 0; 0 1 0 0; 0 0 1 0; 1 2 -3 1])"), 0) << frame;
        ExpectNear(app.ball.position, {1, 2, -2.5f});
    }
}

TEST_F(HalfspaceAppTest, WithoutItsFilesTheProgramSaysSoAndEveryShotMisses) {
    fs::remove(resources / "mouse.x");
    fs::remove(resources / "mouse.bsp");
    app.Init();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], L"载入..//Resource//mouse.x文件失败");
    EXPECT_EQ(app.mouse.materialCount, 0u);
    EXPECT_EQ(app.tree.root, nullptr);
    Space(true);
    app.Frame();
    EXPECT_FALSE(app.ball.bouncePending);
    EXPECT_NEAR(app.ball.remaining, 9999.45f, 1e-3f);
}

TEST_F(HalfspaceAppTest, CleanupReleasesTheTreeTheMeshAndTheBall) {
    app.Init();
    app.Frame();
    app.Cleanup();
    EXPECT_EQ(app.tree.root, nullptr);
    EXPECT_EQ(app.mouse.mesh, nullptr);
    EXPECT_EQ(app.mouse.materialCount, 0u);
    EXPECT_EQ(app.ball.sphere, nullptr);
    ReleaseFonts();
    // Nothing else holds the device.
    EXPECT_EQ(app.device->Release(), 0u);
    app.device = nullptr;
}

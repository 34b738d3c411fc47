// The minimap: its vertices for a known camera and window, the click that toggles its size
// (inside the square only, once per press), the glide towards the new radius, and the pixel
// projection it draws with.
#include "scene/minimap.h"

#include <dinput.h>
#include <gtest/gtest.h>

#include <cmath>

#include "tests/scene/scene_fixture.h"

namespace {

using namespace scene_test;

// For an 800 × 600 window: a seventh and a fifth of 600.
constexpr float kSmall = 600.0f / 7.0f;
constexpr float kLarge = 120.0f;
constexpr float kMarkerReach = 16.968f;

struct Vertex {
    float x, y, z, u, v;
};

class MinimapTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        minimap.Create(device, nullptr, L"..//Resource//V-1-1.dds", L"..//Resource//cur.dds");
    }
    void ReleaseDeviceObjects() override { minimap.Release(); }

    std::vector<Vertex> Read(IDirect3DVertexBuffer9* buffer, int count) {
        void* data = nullptr;
        EXPECT_EQ(buffer->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
        const auto* first = static_cast<const Vertex*>(data);
        std::vector<Vertex> vertices(first, first + count);
        buffer->Unlock();
        return vertices;
    }

    // One frame with the left button as given and the cursor at a client position.
    void Frame(bool leftDown, int x, int y, double seconds) {
        MouseState.rgbButtons[0] = leftDown ? 0x80 : 0;
        SetCursorPos(x, y);
        ElapsedTime = seconds;
        minimap.Update(camera);
    }

    Minimap minimap;
    FreeCamera camera;
};

void ExpectAt(const Vertex& vertex, float x, float y, const char* what) {
    EXPECT_NEAR(vertex.x, x, 1e-3f) << what;
    EXPECT_NEAR(vertex.y, y, 1e-3f) << what;
}

TEST_F(MinimapTest, StartsSmallWithItsPicturesMissingSilently) {
    EXPECT_NEAR(minimap.radius, kSmall, 1e-4f);
    EXPECT_EQ(minimap.targetRadius, minimap.radius);
    EXPECT_EQ(minimap.frameTexture, nullptr);
    EXPECT_EQ(minimap.markerTexture, nullptr);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MinimapTest, VerticesForAKnownCameraAndWindow) {
    camera.position = D3DXVECTOR3(100, 50, -200);
    camera.yaw = 0;
    Frame(false, 0, 0, 0.0);
    // The disc keeps 10 pixels from the top and right edges of the 800 × 600 window.
    const float cx = 400 - kSmall - 10, cy = 300 - kSmall - 10;
    EXPECT_NEAR(minimap.centreX, cx, 1e-3f);
    EXPECT_NEAR(minimap.centreY, cy, 1e-3f);

    const std::vector<Vertex> disc = Read(minimap.discBuffer, 10);
    ExpectAt(disc[0], cx, cy, "middle");
    // The camera's place is the middle of the map: (100 + 512) / 1024 and (-200 + 512) / 1024.
    EXPECT_NEAR(disc[0].u, 0.59765625f, 1e-6f);
    EXPECT_NEAR(disc[0].v, 0.3046875f, 1e-6f);
    const float diagonal = kSmall * std::sqrt(0.5f);
    ExpectAt(disc[1], cx + diagonal, cy - diagonal, "rim 1, an eighth turn clockwise");
    ExpectAt(disc[2], cx, cy - kSmall, "rim 2, straight down");
    EXPECT_NEAR(disc[2].u, 0.59765625f, 1e-6f);
    EXPECT_NEAR(disc[2].v, (312 - kSmall) / 1024, 1e-6f);
    ExpectAt(disc[4], cx - kSmall, cy, "rim 4, to the left");
    EXPECT_NEAR(disc[4].u, (612 - kSmall) / 1024, 1e-6f);
    ExpectAt(disc[8], cx + kSmall, cy, "rim 8, to the right");
    ExpectAt(disc[9], disc[1].x, disc[1].y, "rim 9 closes the octagon");
    for (int k = 0; k < 10; ++k) EXPECT_GE(disc[k].z, 0.0f) << k;

    const std::vector<Vertex> frame = Read(minimap.frameBuffer, 4);
    ExpectAt(frame[0], cx - kSmall, cy - kSmall, "frame 0");
    ExpectAt(frame[1], cx - kSmall, cy + kSmall, "frame 1");
    ExpectAt(frame[2], cx + kSmall, cy - kSmall, "frame 2");
    ExpectAt(frame[3], cx + kSmall, cy + kSmall, "frame 3");
    const float corners[4][2] = {{0, 1}, {0, 0}, {1, 1}, {1, 0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(frame[i].u, corners[i][0]);
        EXPECT_EQ(frame[i].v, corners[i][1]);
        EXPECT_EQ(frame[i].z, 1.0f);
    }
}

TEST_F(MinimapTest, MarkerCornersTurnWithTheYaw) {
    const float cx = 400 - kSmall - 10, cy = 300 - kSmall - 10, d = kMarkerReach;
    camera.yaw = 0;
    Frame(false, 0, 0, 0.0);
    std::vector<Vertex> marker = Read(minimap.markerBuffer, 4);
    ExpectAt(marker[0], cx - d, cy, "yaw 0, corner 0");
    ExpectAt(marker[1], cx, cy + d, "yaw 0, corner 1 points up the map");
    ExpectAt(marker[2], cx, cy - d, "yaw 0, corner 2");
    ExpectAt(marker[3], cx + d, cy, "yaw 0, corner 3");
    EXPECT_EQ(marker[1].u, 0.0f);
    EXPECT_EQ(marker[1].v, 0.0f);

    // A quarter turn to the right: the corner that pointed up now points right (towards +x).
    camera.yaw = 1.5707964f;
    Frame(false, 0, 0, 0.0);
    marker = Read(minimap.markerBuffer, 4);
    ExpectAt(marker[0], cx, cy + d, "yaw 90, corner 0");
    ExpectAt(marker[1], cx + d, cy, "yaw 90, corner 1");
    ExpectAt(marker[2], cx - d, cy, "yaw 90, corner 2");
    ExpectAt(marker[3], cx, cy - d, "yaw 90, corner 3");
}

TEST_F(MinimapTest, ClickInsideGrowsItHalfWayInAQuarterSecondThenShrinksItBack) {
    // The disc's middle is at (704, 96) in client pixels: (304.3, 204.3) from the window's middle.
    Frame(true, 704, 96, 0.25);
    EXPECT_NEAR(minimap.targetRadius, kLarge, 1e-4f);
    EXPECT_NEAR(minimap.radius, (kSmall + kLarge) / 2, 1e-3f);
    // Held down, the button does not toggle again; the glide goes on.
    Frame(true, 704, 96, 0.25);
    EXPECT_NEAR(minimap.targetRadius, kLarge, 1e-4f);
    EXPECT_NEAR(minimap.radius, kLarge - (kLarge - kSmall) / 4, 1e-3f);

    Frame(false, 704, 96, 0.0);
    Frame(true, 704, 96, 0.0);
    EXPECT_NEAR(minimap.targetRadius, kSmall, 1e-4f);
}

TEST_F(MinimapTest, LongFrameEndsOnTheTargetWithoutOvershooting) {
    Frame(true, 704, 96, 2.0);
    EXPECT_NEAR(minimap.radius, kLarge, 1e-3f);
    Frame(false, 704, 96, 0.75);
    EXPECT_NEAR(minimap.radius, kLarge, 1e-3f);
    EXPECT_NEAR(minimap.centreX, 400 - kLarge - 10, 1e-3f);
}

TEST_F(MinimapTest, ClickOutsideTheSquareDoesNotToggleButHoldsTheLatch) {
    // The square spans x 218.6 ... 390 and y 118.6 ... 290 from the middle: client x 618.6 ...
    // 790 and y 10 ... 181.4.
    Frame(true, 400, 300, 0.25);
    EXPECT_NEAR(minimap.targetRadius, kSmall, 1e-4f) << "the window's middle";
    Frame(false, 0, 0, 0.0);
    Frame(true, 792, 96, 0.0);
    EXPECT_NEAR(minimap.targetRadius, kSmall, 1e-4f) << "just right of the square";
    // Still held, now over the square: the press was used up outside.
    Frame(true, 704, 96, 0.0);
    EXPECT_NEAR(minimap.targetRadius, kSmall, 1e-4f);
    Frame(false, 704, 96, 0.0);
    // The square's corner, not the disc, counts: its top-right corner, just inside.
    Frame(true, 789, 11, 0.0);
    EXPECT_NEAR(minimap.targetRadius, kLarge, 1e-4f);
}

TEST_F(MinimapTest, DrawsInPixelUnitsOverTheSceneAndPutsTheMatricesBack) {
    D3DXMATRIX projection, view, world;
    D3DXMatrixPerspectiveFovLH(&projection, 0.8f, 4.0f / 3.0f, 1.0f, 100.0f);
    D3DXMatrixTranslation(&view, 1, 2, 3);
    D3DXMatrixScaling(&world, 2, 2, 2);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_WORLD, &world);
    host::ClearTrace(device);
    minimap.Draw(camera);

    // 2 / 800 and 2 / 600 on the diagonal: one unit is one pixel.
    const int pixels = IndexOf("SetTransform(D3DTS_PROJECTION, [0.0025 0 0 0; 0 0.00333333 0 0; 0 0 1 0;");
    const int depthOff = IndexOf("SetRenderState(D3DRS_ZENABLE, 0)");
    const int lightOff = IndexOf("SetRenderState(D3DRS_LIGHTING, 0)");
    const int fan = IndexOf("DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 8)");
    const int frame = IndexOf("DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2)", fan);
    const int marker = IndexOf("DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2)", frame + 1);
    const int depthOn = IndexOf("SetRenderState(D3DRS_ZENABLE, 1)");
    EXPECT_TRUE(0 <= pixels && pixels < fan && 0 <= depthOff && depthOff < fan && 0 <= lightOff && lightOff < fan &&
                fan < frame && frame < marker && marker < depthOn)
        << pixels << " " << depthOff << " " << lightOff << " " << fan << " " << frame << " " << marker << " " << depthOn;
    EXPECT_EQ(IndexOf("SetTransform(D3DTS_WORLD, [1 0 0 0; 0 1 0 0; 0 0 1 0; 0 0 0 1])"), pixels + 1);
    EXPECT_EQ(CountOf("DrawPrimitive("), 3);

    D3DXMATRIX after;
    device->GetTransform(D3DTS_PROJECTION, &after);
    EXPECT_TRUE(after == projection);
    device->GetTransform(D3DTS_WORLD, &after);
    EXPECT_TRUE(after == world);
    device->GetTransform(D3DTS_VIEW, &after);
    EXPECT_TRUE(after == view);
    IDirect3DBaseTexture9* texture = nullptr;
    device->GetTexture(0, &texture);
    EXPECT_EQ(texture, nullptr);
    DWORD value = 0;
    device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, 0u);
    device->GetRenderState(D3DRS_LIGHTING, &value);
    EXPECT_EQ(value, 1u);
}

}  // namespace

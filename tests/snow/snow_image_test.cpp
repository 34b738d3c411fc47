// Snowflakes as the GL device draws them: white sprites, with or without their texture.
#include "snow/snow_system.h"

#include <gtest/gtest.h>
#include <host.h>

#include <cstdlib>
#include <vector>

#include "tests/support/headless_device.h"

namespace {

constexpr int kSize = 64;

class SnowImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless = demo_test::CreateHeadlessDevice(kSize, kSize);
        device = headless.device;
        ASSERT_NE(device, nullptr);
        D3DXMATRIX projection;
        D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, 1.0f, 0.1f, 100.0f);
        device->SetTransform(D3DTS_PROJECTION, &projection);
        srand(1);
    }
    void TearDown() override { demo_test::ReleaseHeadlessDevice(&headless); }

    uint32_t CentrePixel() {
        int width = 0, height = 0;
        std::vector<uint32_t> pixels;
        EXPECT_TRUE(host::ReadBackBuffer(device, &width, &height, &pixels));
        return pixels.empty() ? 0 : pixels[size_t(height / 2) * width + width / 2] & 0xFFFFFF;
    }

    demo_test::HeadlessDevice headless;
    IDirect3DDevice9* device = nullptr;
};

// A missing sprite texture leaves the flakes untextured, and they must still show: one flake
// one unit in front of the camera covers the middle of the frame in white.
TEST_F(SnowImageTest, FlakesWithoutTheirTextureAreDrawnWhite) {
    SnowSystem snow;
    snow.Create(device, D3DXVECTOR3(-10, -10, -10), D3DXVECTOR3(10, 10, 10), 1, L"../Resource/no-such-flake.dds");
    ASSERT_EQ(snow.texture, nullptr);
    snow.particles.front().position = D3DXVECTOR3(0, 0, 1);
    srand(1);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0);
    device->BeginScene();
    const D3DXVECTOR3 camera(0, 0, 0);
    snow.Render(&camera);
    device->EndScene();
    EXPECT_EQ(CentrePixel(), 0xFFFFFFu);
    // Drawing untextured takes the same random numbers as drawing textured: one point size
    // (41, the first of the sequence), so the next is the sequence's second.
    EXPECT_EQ(rand(), 18467);
}

}  // namespace

// The back buffer's format and depth on the GL device: an X8R8G8B8 target reads as opaque,
// pre-transformed depth goes to the depth buffer as given, and Clear's rectangle rules.
#include "gl_fixture.h"

namespace {

using GlTargetTest = GlDeviceTest;

TEST_F(GlTargetTest, DestinationAlphaOfTheBackBufferIsOne) {
    // The clear colour's alpha of zero has nowhere to go on an X8R8G8B8 target.
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(0, 255, 0, 0), 1.0f, 0);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_DESTALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    DrawRect(0, 0, 32, 64, 0xff00ff00);
    EXPECT_RGB_NEAR(Pixel(10, 10), 0, 255, 0);  // green * 1 + red * 0

    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVDESTALPHA);
    DrawRect(32, 0, 64, 64, 0xff00ff00);
    EXPECT_RGB_NEAR(Pixel(40, 10), 0, 0, 0);  // red * (1 - 1)

    EXPECT_EQ(Pixel(40, 10) >> 24, 0xffu);
    IDirect3DSurface9* backBuffer = nullptr;
    ASSERT_EQ(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(backBuffer->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    uint32_t first = *static_cast<const uint32_t*>(locked.pBits);
    EXPECT_EQ(first, 0xff00ff00u);  // X8 reads as 0xff
    backBuffer->UnlockRect();
    backBuffer->Release();
}

TEST_F(GlTargetTest, PretransformedDepthIsNotMappedByTheViewportRange) {
    D3DVIEWPORT9 viewport{0, 0, kSize, kSize, 0.5f, 1.0f};
    ASSERT_EQ(device_->SetViewport(&viewport), D3D_OK);
    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.3f, 0);
    // z 0.2 reaches the depth buffer as 0.2 and passes against 0.3; mapped into 0.5..1 it
    // would fail.
    DrawRect(0, 0, 64, 64, 0xffff0000, 0.2f);
    EXPECT_RGB_NEAR(Pixel(32, 32), 255, 0, 0);
    DrawRect(0, 0, 64, 64, 0xff00ff00, 0.25f);  // 0.25 behind what the first wrote
    EXPECT_RGB_NEAR(Pixel(32, 32), 255, 0, 0);
}

TEST_F(GlTargetTest, TransformedDepthIsMappedByTheViewportRange) {
    D3DMATRIX identity{};
    identity._11 = identity._22 = identity._33 = identity._44 = 1;
    device_->SetTransform(D3DTS_PROJECTION, &identity);
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    D3DVIEWPORT9 viewport{0, 0, kSize, kSize, 0.5f, 1.0f};
    ASSERT_EQ(device_->SetViewport(&viewport), D3D_OK);
    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    struct Vertex {
        float x, y, z;
        D3DCOLOR color;
    };
    auto drawQuad = [&](float z, D3DCOLOR color) {
        Vertex quad[4] = {{-1, 1, z, color}, {1, 1, z, color}, {-1, -1, z, color}, {1, -1, z, color}};
        device_->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), D3D_OK);
    };
    device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.55f, 0);
    drawQuad(0.2f, 0xffff0000);  // depth 0.6: behind 0.55
    EXPECT_RGB_NEAR(Pixel(32, 32), 0, 0, 0);
    device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.65f, 0);
    drawQuad(0.2f, 0xffff0000);
    EXPECT_RGB_NEAR(Pixel(32, 32), 255, 0, 0);
}

TEST_F(GlTargetTest, ClearRectangleRules) {
    // Count 0 with a rectangle array is outside the documented contract; the runtime
    // accepts the call and clears nothing.
    D3DRECT rect{0, 0, 8, 8};
    EXPECT_EQ(device_->Clear(0, &rect, D3DCLEAR_TARGET, 0xffff0000, 1.0f, 0), D3D_OK);
    EXPECT_RGB_NEAR(Pixel(4, 4), 0, 0, 0);
    EXPECT_RGB_NEAR(Pixel(30, 30), 0, 0, 0);
    EXPECT_EQ(device_->Clear(1, nullptr, D3DCLEAR_TARGET, 0xffff0000, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_RGB_NEAR(Pixel(30, 30), 0, 0, 0);
    EXPECT_EQ(device_->Clear(1, &rect, D3DCLEAR_TARGET, 0xff00ff00, 1.0f, 0), D3D_OK);
    EXPECT_RGB_NEAR(Pixel(4, 4), 0, 255, 0);
    EXPECT_RGB_NEAR(Pixel(8, 8), 0, 0, 0);
}

}  // namespace

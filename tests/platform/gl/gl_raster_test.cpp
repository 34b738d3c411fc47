// Stencil, culling, fill mode, point sprites and back buffer read-back on the GL device.
#include "gl_fixture.h"

namespace {

using GlRasterTest = GlDeviceTest;

TEST_F(GlRasterTest, StencilReplaceThenEqualThenIncrement) {
    device_->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    device_->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
    device_->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    device_->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    device_->SetRenderState(D3DRS_STENCILREF, 1);
    DrawRect(0, 0, 32, 64, 0xffffffff);  // left half: stencil 1

    device_->SetRenderState(D3DRS_COLORWRITEENABLE, 0xf);
    device_->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    device_->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    DrawFullScreen(0xff00ff00);
    EXPECT_RGB_NEAR(Pixel(16, 32), 0, 255, 0);
    EXPECT_RGB_NEAR(Pixel(48, 32), 0, 0, 0);

    device_->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
    device_->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    device_->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_INCR);
    DrawFullScreen(0xffffffff);  // left 2, right 1
    device_->SetRenderState(D3DRS_COLORWRITEENABLE, 0xf);
    device_->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    device_->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    device_->SetRenderState(D3DRS_STENCILREF, 2);
    DrawFullScreen(0xff0000ff);
    EXPECT_RGB_NEAR(Pixel(16, 32), 0, 0, 255);
    EXPECT_RGB_NEAR(Pixel(48, 32), 0, 0, 0);
    device_->SetRenderState(D3DRS_STENCILREF, 1);
    DrawFullScreen(0xffff0000);
    EXPECT_RGB_NEAR(Pixel(48, 32), 255, 0, 0);
}

TEST_F(GlRasterTest, CullingFollowsD3DWindingOnStripsAndFans) {
    auto strip = [&](bool clockwise, D3DCOLOR color) {
        ScreenVertex cw[4] = {{0, 0, 0.5f, 1, color, 0, 0}, {64, 0, 0.5f, 1, color, 0, 0},
                              {0, 64, 0.5f, 1, color, 0, 0}, {64, 64, 0.5f, 1, color, 0, 0}};
        ScreenVertex ccw[4] = {cw[1], cw[0], cw[3], cw[2]};
        device_->SetFVF(kScreenFvf);
        device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, clockwise ? cw : ccw, sizeof(ScreenVertex));
    };
    strip(true, 0xffff0000);  // default CULLMODE CCW keeps clockwise triangles
    EXPECT_RGB_NEAR(Pixel(32, 32), 255, 0, 0);
    strip(false, 0xff00ff00);
    EXPECT_RGB_NEAR(Pixel(32, 32), 255, 0, 0);

    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    strip(true, 0xff0000ff);
    EXPECT_RGB_NEAR(Pixel(32, 32), 255, 0, 0);
    strip(false, 0xff00ff00);
    EXPECT_RGB_NEAR(Pixel(32, 32), 0, 255, 0);

    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    strip(true, 0xff0000ff);
    EXPECT_RGB_NEAR(Pixel(32, 32), 0, 0, 255);

    // A fan around the centre, clockwise on screen.
    D3DCOLOR white = 0xffffffff;
    ScreenVertex fan[6] = {{32, 32, 0.5f, 1, white, 0, 0}, {32, 0, 0.5f, 1, white, 0, 0},
                           {64, 32, 0.5f, 1, white, 0, 0}, {32, 64, 0.5f, 1, white, 0, 0},
                           {0, 32, 0.5f, 1, white, 0, 0},  {32, 0, 0.5f, 1, white, 0, 0}};
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    device_->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 4, fan, sizeof(ScreenVertex));
    EXPECT_RGB_NEAR(Pixel(40, 30), 0, 0, 255);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device_->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 4, fan, sizeof(ScreenVertex));
    EXPECT_RGB_NEAR(Pixel(40, 30), 255, 255, 255);
    EXPECT_RGB_NEAR(Pixel(24, 40), 255, 255, 255);
}

// D3D takes a flat-shaded triangle's colour from its first vertex (ES would take the last).
TEST_F(GlRasterTest, FlatShadingTakesTheFirstVertexColour) {
    device_->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    ScreenVertex triangle[3] = {{0, 0, 0.5f, 1, 0xffff0000, 0, 0},
                                {64, 0, 0.5f, 1, 0xff00ff00, 0, 0},
                                {0, 64, 0.5f, 1, 0xff0000ff, 0, 0}};
    device_->SetFVF(kScreenFvf);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof(ScreenVertex)), D3D_OK);
    EXPECT_RGB_NEAR(Pixel(16, 16), 255, 0, 0);
}

TEST_F(GlRasterTest, WireframeDrawsEdgesOnly) {
    device_->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    DrawRect(8, 8, 56, 56, 0xffffffff);
    EXPECT_RGB_NEAR(Pixel(8, 32), 255, 255, 255);
    EXPECT_RGB_NEAR(Pixel(32, 8), 255, 255, 255);
    EXPECT_RGB_NEAR(Pixel(20, 30), 0, 0, 0);
    EXPECT_RGB_NEAR(Pixel(4, 32), 0, 0, 0);
}

// D3DXMatrixPerspectiveFovLH(pi / 2, 1, 1, 10), written out.
D3DMATRIX Perspective() {
    D3DMATRIX m{};
    m._11 = 1;
    m._22 = 1;
    m._33 = 10.0f / 9.0f;
    m._34 = 1;
    m._43 = -10.0f / 9.0f;
    return m;
}

float AsFloat(DWORD bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

TEST_F(GlRasterTest, PointSpriteSizeFollowsDistanceScale) {
    struct PointVertex {
        float x, y, z;
        D3DCOLOR color;
    } point = {0, 0, 2, 0xffffffff};
    D3DMATRIX projection = Perspective();
    device_->SetTransform(D3DTS_PROJECTION, &projection);
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    device_->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    device_->SetRenderState(D3DRS_POINTSCALE_A, FloatBits(0));
    device_->SetRenderState(D3DRS_POINTSCALE_B, FloatBits(0));
    device_->SetRenderState(D3DRS_POINTSCALE_C, FloatBits(1));
    // Size = viewport height * 0.46875 / distance 2 = 15 pixels.
    device_->SetRenderState(D3DRS_POINTSIZE, FloatBits(0.46875f));
    device_->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point);
    EXPECT_EQ(LitPixelsInRow(32), 15);
    EXPECT_RGB_NEAR(Pixel(25, 32), 255, 255, 255);
    EXPECT_RGB_NEAR(Pixel(24, 32), 0, 0, 0);

    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    device_->SetRenderState(D3DRS_POINTSIZE_MAX, FloatBits(9.0f));
    device_->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point);
    EXPECT_EQ(LitPixelsInRow(32), 9);

    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    device_->SetRenderState(D3DRS_POINTSIZE_MAX, FloatBits(64.0f));
    device_->SetRenderState(D3DRS_POINTSCALEENABLE, FALSE);
    device_->SetRenderState(D3DRS_POINTSIZE, FloatBits(5.0f));  // pixels, whatever the distance
    device_->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point);
    EXPECT_EQ(LitPixelsInRow(32), 5);
    EXPECT_EQ(AsFloat(FloatBits(5.0f)), 5.0f);
}

TEST_F(GlRasterTest, PointSpriteCoversTheWholeTextureTopLeftFirst) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(2, 2, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    texture->LockRect(0, &locked, nullptr, 0);
    auto* texels = static_cast<uint32_t*>(locked.pBits);
    uint32_t* second = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + locked.Pitch);
    texels[0] = 0x00ff0000;  // top-left red
    texels[1] = 0x0000ff00;  // top-right green
    second[0] = 0x000000ff;  // bottom-left blue
    second[1] = 0x00ffffff;
    texture->UnlockRect(0);
    device_->SetTexture(0, texture);
    device_->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    device_->SetRenderState(D3DRS_POINTSIZE, FloatBits(32.0f));
    ScreenVertex point = {32, 32, 0.5f, 1, 0xffffffff, 0, 0};
    device_->SetFVF(kScreenFvf);
    device_->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point);
    EXPECT_RGB_NEAR(Pixel(24, 24), 255, 0, 0);
    EXPECT_RGB_NEAR(Pixel(40, 24), 0, 255, 0);
    EXPECT_RGB_NEAR(Pixel(24, 40), 0, 0, 255);
    device_->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(GlRasterTest, LockableBackBufferReadsTopRowFirst) {
    DrawRect(0, 0, 64, 16, 0xff00ff00);
    DrawRect(10, 20, 11, 21, 0xff123456);
    IDirect3DSurface9* backBuffer = nullptr;
    ASSERT_EQ(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
    D3DSURFACE_DESC desc{};
    backBuffer->GetDesc(&desc);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(desc.Width, 64u);

    D3DLOCKED_RECT locked{};
    ASSERT_EQ(backBuffer->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(locked.Pitch, 64 * 4);
    auto row = [&](int y) {
        return reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch);
    };
    EXPECT_RGB_NEAR(row(0)[5], 0, 255, 0);
    EXPECT_RGB_NEAR(row(63)[5], 0, 0, 0);
    EXPECT_RGB_NEAR(row(20)[10], 0x12, 0x34, 0x56);
    EXPECT_EQ(backBuffer->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);  // already locked
    backBuffer->UnlockRect();

    RECT one{10, 20, 11, 21};
    ASSERT_EQ(backBuffer->LockRect(&locked, &one, D3DLOCK_READONLY), D3D_OK);
    EXPECT_RGB_NEAR(*static_cast<const uint32_t*>(locked.pBits), 0x12, 0x34, 0x56);
    backBuffer->UnlockRect();
    backBuffer->Release();
}

TEST_F(GlRasterTest, ClearHonoursViewportAndRectangles) {
    D3DVIEWPORT9 viewport{16, 16, 32, 32, 0, 1};
    ASSERT_EQ(device_->SetViewport(&viewport), D3D_OK);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xffff0000, 1.0f, 0);
    EXPECT_RGB_NEAR(Pixel(20, 20), 255, 0, 0);
    EXPECT_RGB_NEAR(Pixel(10, 10), 0, 0, 0);
    D3DRECT rect{0, 0, 24, 24};  // cut by the viewport to 16..24
    device_->Clear(1, &rect, D3DCLEAR_TARGET, 0xff00ff00, 1.0f, 0);
    EXPECT_RGB_NEAR(Pixel(20, 20), 0, 255, 0);
    EXPECT_RGB_NEAR(Pixel(30, 30), 255, 0, 0);
    EXPECT_RGB_NEAR(Pixel(8, 8), 0, 0, 0);
}

}  // namespace

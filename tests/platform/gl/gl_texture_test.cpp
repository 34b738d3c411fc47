// Texture stages, alpha test and alpha blending on the GL device.
#include "gl_fixture.h"

namespace {

class GlTextureTest : public GlDeviceTest {
protected:
    IDirect3DTexture9* SolidTexture(D3DCOLOR color) {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(device_->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (int y = 0; y < 2; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
            row[0] = row[1] = color;
        }
        texture->UnlockRect(0);
        return texture;
    }
};

TEST_F(GlTextureTest, ModulateWithTextureAndNullTextureGivesDiffuse) {
    IDirect3DTexture9* texture = SolidTexture(0xff4080c0);
    device_->SetTexture(0, texture);
    DrawFullScreen(0xff808080);
    // Default stage 0: MODULATE(TEXTURE, CURRENT) -> texel * 128/255.
    EXPECT_RGB_NEAR(Pixel(20, 20), 32.1, 64.3, 96.4);

    device_->SetTexture(0, nullptr);
    DrawFullScreen(0xff808080);
    EXPECT_RGB_NEAR(Pixel(20, 20), 128, 128, 128);

    // A partial lock re-uploads the texel it wrote before the next draw.
    device_->SetTexture(0, texture);
    RECT topRight{1, 0, 2, 1};
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, &topRight, 0), D3D_OK);
    *static_cast<uint32_t*>(locked.pBits) = 0xffff0000;
    texture->UnlockRect(0);
    DrawFullScreen(0xffffffff);
    EXPECT_RGB_NEAR(Pixel(48, 16), 255, 0, 0);
    EXPECT_RGB_NEAR(Pixel(16, 16), 64, 128, 192);
    EXPECT_RGB_NEAR(Pixel(48, 48), 64, 128, 192);
    device_->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(GlTextureTest, StageOperationsSelectAddAndDisable) {
    IDirect3DTexture9* texture = SolidTexture(0xff402000);
    device_->SetTexture(0, texture);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_ADD);
    DrawFullScreen(0xff101010);
    EXPECT_RGB_NEAR(Pixel(8, 8), 0x50, 0x30, 0x10);

    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    DrawFullScreen(0xff101010);
    EXPECT_RGB_NEAR(Pixel(8, 8), 0x10, 0x10, 0x10);

    // Stage 1 with the texture factor, complemented, modulating stage 0's result.
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device_->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TFACTOR | D3DTA_COMPLEMENT);
    device_->SetRenderState(D3DRS_TEXTUREFACTOR, 0xff000000);
    DrawFullScreen(0xff101010);
    EXPECT_RGB_NEAR(Pixel(8, 8), 0x40, 0x20, 0x00);
    device_->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(GlTextureTest, CompressedTextureDecodes) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(4, 4, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 8);
    // One block: colour 0 pure red (565), colour 1 pure blue, every index 0.
    uint8_t block[8] = {0x00, 0xf8, 0x1f, 0x00, 0, 0, 0, 0};
    std::memcpy(locked.pBits, block, sizeof block);
    texture->UnlockRect(0);
    device_->SetTexture(0, texture);
    DrawFullScreen(0xffffffff);
    EXPECT_RGB_NEAR(Pixel(30, 30), 255, 0, 0);
    device_->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(GlTextureTest, AlphaTestGreaterThanReference) {
    device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    device_->SetRenderState(D3DRS_ALPHAREF, 0x80);
    DrawRect(0, 0, 32, 64, 0x80ffffff);
    DrawRect(32, 0, 64, 64, 0x81ffffff);
    EXPECT_RGB_NEAR(Pixel(16, 32), 0, 0, 0);
    EXPECT_RGB_NEAR(Pixel(48, 32), 255, 255, 255);

    device_->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    DrawRect(0, 0, 32, 64, 0x00ffffff);
    EXPECT_RGB_NEAR(Pixel(16, 32), 255, 255, 255);
}

TEST_F(GlTextureTest, AlphaBlendingSourceAlphaOverDestination) {
    DrawFullScreen(0xff0000ff);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    DrawFullScreen(0x80ff0000);
    EXPECT_RGB_NEAR(Pixel(32, 32), 128, 0, 127);

    // ONE + ONE adds, saturating.
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    DrawFullScreen(0xff808080);
    EXPECT_RGB_NEAR(Pixel(32, 32), 255, 128, 255);
}

}  // namespace

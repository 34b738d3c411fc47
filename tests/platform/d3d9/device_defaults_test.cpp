// A new device's state: the Windows defaults.
#include <d3d9.h>

#include <host.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

float AsFloat(DWORD bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

class DeviceDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override { device_ = host::CreateTraceDevice(640, 480); }
    void TearDown() override { device_->Release(); }
    DWORD Render(D3DRENDERSTATETYPE state) {
        DWORD value = 0xdeadbeef;
        EXPECT_EQ(device_->GetRenderState(state, &value), D3D_OK);
        return value;
    }
    DWORD Stage(DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
        DWORD value = 0xdeadbeef;
        EXPECT_EQ(device_->GetTextureStageState(stage, type, &value), D3D_OK);
        return value;
    }
    DWORD Sampler(DWORD sampler, D3DSAMPLERSTATETYPE type) {
        DWORD value = 0xdeadbeef;
        EXPECT_EQ(device_->GetSamplerState(sampler, type, &value), D3D_OK);
        return value;
    }
    IDirect3DDevice9* device_ = nullptr;
};

TEST_F(DeviceDefaultsTest, RenderStates) {
    struct Expected {
        D3DRENDERSTATETYPE state;
        DWORD value;
    } table[] = {
        {D3DRS_ZENABLE, D3DZB_TRUE},  // the trace device has an automatic depth buffer
        {D3DRS_FILLMODE, D3DFILL_SOLID},
        {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
        {D3DRS_ZWRITEENABLE, TRUE},
        {D3DRS_ALPHATESTENABLE, FALSE},
        {D3DRS_LASTPIXEL, TRUE},
        {D3DRS_SRCBLEND, D3DBLEND_ONE},
        {D3DRS_DESTBLEND, D3DBLEND_ZERO},
        {D3DRS_CULLMODE, D3DCULL_CCW},
        {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
        {D3DRS_ALPHAREF, 0},
        {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
        {D3DRS_ALPHABLENDENABLE, FALSE},
        {D3DRS_FOGENABLE, FALSE},
        {D3DRS_SPECULARENABLE, FALSE},
        {D3DRS_STENCILENABLE, FALSE},
        {D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP},
        {D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP},
        {D3DRS_STENCILPASS, D3DSTENCILOP_KEEP},
        {D3DRS_STENCILFUNC, D3DCMP_ALWAYS},
        {D3DRS_STENCILREF, 0},
        {D3DRS_STENCILMASK, 0xffffffff},
        {D3DRS_STENCILWRITEMASK, 0xffffffff},
        {D3DRS_TEXTUREFACTOR, 0xffffffff},
        {D3DRS_CLIPPING, TRUE},
        {D3DRS_LIGHTING, TRUE},
        {D3DRS_AMBIENT, 0},
        {D3DRS_COLORVERTEX, TRUE},
        {D3DRS_LOCALVIEWER, TRUE},
        {D3DRS_NORMALIZENORMALS, FALSE},
        {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
        {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2},
        {D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL},
        {D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL},
        {D3DRS_POINTSPRITEENABLE, FALSE},
        {D3DRS_POINTSCALEENABLE, FALSE},
        {D3DRS_COLORWRITEENABLE, 0xf},
        {D3DRS_BLENDOP, D3DBLENDOP_ADD},
        {D3DRS_SCISSORTESTENABLE, FALSE},
        {D3DRS_TWOSIDEDSTENCILMODE, FALSE},
        {D3DRS_BLENDFACTOR, 0xffffffff},
        {D3DRS_SEPARATEALPHABLENDENABLE, FALSE},
    };
    for (const Expected& row : table) EXPECT_EQ(Render(row.state), row.value) << "state " << row.state;
    EXPECT_EQ(AsFloat(Render(D3DRS_POINTSIZE)), 1.0f);
    EXPECT_EQ(AsFloat(Render(D3DRS_POINTSIZE_MIN)), 1.0f);
    EXPECT_EQ(AsFloat(Render(D3DRS_POINTSIZE_MAX)), 64.0f);
    EXPECT_EQ(AsFloat(Render(D3DRS_POINTSCALE_A)), 1.0f);
    EXPECT_EQ(AsFloat(Render(D3DRS_POINTSCALE_B)), 0.0f);
    EXPECT_EQ(AsFloat(Render(D3DRS_POINTSCALE_C)), 0.0f);
    EXPECT_EQ(AsFloat(Render(D3DRS_FOGEND)), 1.0f);
}

TEST_F(DeviceDefaultsTest, TextureStagesAndSamplers) {
    EXPECT_EQ(Stage(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
    EXPECT_EQ(Stage(0, D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_SELECTARG1));
    EXPECT_EQ(Stage(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));
    EXPECT_EQ(Stage(1, D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_DISABLE));
    for (DWORD stage : {0u, 1u, 7u}) {
        EXPECT_EQ(Stage(stage, D3DTSS_COLORARG1), static_cast<DWORD>(D3DTA_TEXTURE));
        EXPECT_EQ(Stage(stage, D3DTSS_COLORARG2), static_cast<DWORD>(D3DTA_CURRENT));
        EXPECT_EQ(Stage(stage, D3DTSS_ALPHAARG1), static_cast<DWORD>(D3DTA_TEXTURE));
        EXPECT_EQ(Stage(stage, D3DTSS_ALPHAARG2), static_cast<DWORD>(D3DTA_CURRENT));
        EXPECT_EQ(Stage(stage, D3DTSS_TEXCOORDINDEX), stage);
        EXPECT_EQ(Stage(stage, D3DTSS_TEXTURETRANSFORMFLAGS), static_cast<DWORD>(D3DTTFF_DISABLE));
    }
    for (DWORD sampler : {0u, 15u}) {
        EXPECT_EQ(Sampler(sampler, D3DSAMP_ADDRESSU), static_cast<DWORD>(D3DTADDRESS_WRAP));
        EXPECT_EQ(Sampler(sampler, D3DSAMP_ADDRESSV), static_cast<DWORD>(D3DTADDRESS_WRAP));
        EXPECT_EQ(Sampler(sampler, D3DSAMP_MAGFILTER), static_cast<DWORD>(D3DTEXF_POINT));
        EXPECT_EQ(Sampler(sampler, D3DSAMP_MINFILTER), static_cast<DWORD>(D3DTEXF_POINT));
        EXPECT_EQ(Sampler(sampler, D3DSAMP_MIPFILTER), static_cast<DWORD>(D3DTEXF_NONE));
        EXPECT_EQ(Sampler(sampler, D3DSAMP_MAXANISOTROPY), 1u);
    }
}

TEST_F(DeviceDefaultsTest, TransformsViewportAndBindings) {
    D3DMATRIX world{};
    ASSERT_EQ(device_->GetTransform(D3DTS_WORLD, &world), D3D_OK);
    D3DMATRIX identity{};
    identity._11 = identity._22 = identity._33 = identity._44 = 1.0f;
    EXPECT_EQ(std::memcmp(&world, &identity, sizeof world), 0);
    D3DMATRIX texture{};
    ASSERT_EQ(device_->GetTransform(D3DTS_TEXTURE7, &texture), D3D_OK);
    EXPECT_EQ(std::memcmp(&texture, &identity, sizeof texture), 0);
    D3DVIEWPORT9 viewport{};
    device_->GetViewport(&viewport);
    EXPECT_EQ(viewport.X, 0u);
    EXPECT_EQ(viewport.Width, 640u);
    EXPECT_EQ(viewport.Height, 480u);
    EXPECT_EQ(viewport.MaxZ, 1.0f);
    DWORD fvf = 1;
    device_->GetFVF(&fvf);
    EXPECT_EQ(fvf, 0u);
    IDirect3DIndexBuffer9* indices = reinterpret_cast<IDirect3DIndexBuffer9*>(1);
    device_->GetIndices(&indices);
    EXPECT_EQ(indices, nullptr);
}

}  // namespace

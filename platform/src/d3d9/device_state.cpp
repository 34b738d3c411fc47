#include "d3d9/device_state.h"

#include <cstring>

namespace platform {
namespace {

DWORD FloatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

D3DMATRIX Identity() {
    D3DMATRIX matrix{};
    matrix._11 = matrix._22 = matrix._33 = matrix._44 = 1.0f;
    return matrix;
}

// Render states whose numbers are gaps in the enumeration.
bool IsRenderStateGap(DWORD state) {
    static const DWORD kValid[] = {
        7,   8,   9,   14,  15,  16,  19,  20,  22,  23,  24,  25,  26,  27,  28,  29,  34,  35,  36,  37,
        38,  48,  52,  53,  54,  55,  56,  57,  58,  59,  60,  128, 129, 130, 131, 132, 133, 134, 135, 136,
        137, 139, 140, 141, 142, 143, 145, 146, 147, 148, 151, 152, 154, 155, 156, 157, 158, 159, 160, 161,
        162, 163, 165, 166, 167, 168, 170, 171, 172, 173, 174, 175, 176, 178, 179, 180, 181, 182, 183, 184,
        185, 186, 187, 188, 189, 190, 191, 192, 193, 194, 195, 198, 199, 200, 201, 202, 203, 204, 205, 206,
        207, 208, 209};
    for (DWORD valid : kValid) {
        if (valid == state) return false;
    }
    return true;
}

void SetDefaultRenderStates(std::array<DWORD, kRenderStateCount>& rs, bool autoDepthStencil) {
    rs[D3DRS_ZENABLE] = autoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
    rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
    rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    rs[D3DRS_ZWRITEENABLE] = TRUE;
    rs[D3DRS_LASTPIXEL] = TRUE;
    rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    rs[D3DRS_CULLMODE] = D3DCULL_CCW;
    rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_FOGSTART] = FloatBits(0.0f);
    rs[D3DRS_FOGEND] = FloatBits(1.0f);
    rs[D3DRS_FOGDENSITY] = FloatBits(1.0f);
    rs[D3DRS_STENCILFAIL] = D3DSTENCILOP_KEEP;
    rs[D3DRS_STENCILZFAIL] = D3DSTENCILOP_KEEP;
    rs[D3DRS_STENCILPASS] = D3DSTENCILOP_KEEP;
    rs[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_STENCILMASK] = 0xffffffff;
    rs[D3DRS_STENCILWRITEMASK] = 0xffffffff;
    rs[D3DRS_TEXTUREFACTOR] = 0xffffffff;
    rs[D3DRS_CLIPPING] = TRUE;
    rs[D3DRS_LIGHTING] = TRUE;
    rs[D3DRS_COLORVERTEX] = TRUE;
    rs[D3DRS_LOCALVIEWER] = TRUE;
    rs[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    rs[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    rs[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
    rs[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
    rs[D3DRS_POINTSIZE] = FloatBits(1.0f);
    rs[D3DRS_POINTSIZE_MIN] = FloatBits(1.0f);
    rs[D3DRS_POINTSCALE_A] = FloatBits(1.0f);
    rs[D3DRS_POINTSCALE_B] = FloatBits(0.0f);
    rs[D3DRS_POINTSCALE_C] = FloatBits(0.0f);
    rs[D3DRS_MULTISAMPLEANTIALIAS] = TRUE;
    rs[D3DRS_MULTISAMPLEMASK] = 0xffffffff;
    rs[D3DRS_DEBUGMONITORTOKEN] = 0xbaadcafe;  // D3DDMT_ENABLE
    rs[D3DRS_POINTSIZE_MAX] = FloatBits(64.0f);
    rs[D3DRS_COLORWRITEENABLE] = 0xf;
    rs[D3DRS_COLORWRITEENABLE1] = 0xf;
    rs[D3DRS_COLORWRITEENABLE2] = 0xf;
    rs[D3DRS_COLORWRITEENABLE3] = 0xf;
    rs[D3DRS_TWEENFACTOR] = FloatBits(0.0f);
    rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
    rs[D3DRS_POSITIONDEGREE] = 3;  // D3DDEGREE_CUBIC
    rs[D3DRS_NORMALDEGREE] = 1;    // D3DDEGREE_LINEAR
    rs[D3DRS_MINTESSELLATIONLEVEL] = FloatBits(1.0f);
    rs[D3DRS_MAXTESSELLATIONLEVEL] = FloatBits(1.0f);
    rs[D3DRS_ADAPTIVETESS_W] = FloatBits(1.0f);
    rs[D3DRS_ADAPTIVETESS_Z] = FloatBits(1.0f);
    rs[D3DRS_CCW_STENCILFAIL] = D3DSTENCILOP_KEEP;
    rs[D3DRS_CCW_STENCILZFAIL] = D3DSTENCILOP_KEEP;
    rs[D3DRS_CCW_STENCILPASS] = D3DSTENCILOP_KEEP;
    rs[D3DRS_CCW_STENCILFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_BLENDFACTOR] = 0xffffffff;
    rs[D3DRS_SRCBLENDALPHA] = D3DBLEND_ONE;
    rs[D3DRS_DESTBLENDALPHA] = D3DBLEND_ZERO;
    rs[D3DRS_BLENDOPALPHA] = D3DBLENDOP_ADD;
}

void SetDefaultStageStates(DeviceState* state) {
    for (DWORD stage = 0; stage < kTextureStages; ++stage) {
        auto& ts = state->stageStates[stage];
        ts[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        ts[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        ts[D3DTSS_TEXCOORDINDEX] = stage;
        ts[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
        ts[D3DTSS_COLORARG0] = D3DTA_CURRENT;
        ts[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
        ts[D3DTSS_RESULTARG] = D3DTA_CURRENT;
    }
    for (auto& ss : state->samplerStates) {
        ss[D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
        ss[D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
        ss[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
        ss[D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
        ss[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
        ss[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
        ss[D3DSAMP_MAXANISOTROPY] = 1;
    }
}

}  // namespace

void SetDefaultState(DeviceState* state, UINT width, UINT height, bool autoDepthStencil) {
    state->renderStates.fill(0);
    SetDefaultRenderStates(state->renderStates, autoDepthStencil);
    for (auto& stage : state->stageStates) stage.fill(0);
    for (auto& sampler : state->samplerStates) sampler.fill(0);
    SetDefaultStageStates(state);
    state->world.fill(Identity());
    state->view = Identity();
    state->projection = Identity();
    state->textureTransforms.fill(Identity());
    state->viewport = D3DVIEWPORT9{0, 0, width, height, 0.0f, 1.0f};
    state->material = D3DMATERIAL9{};
    state->lights.clear();
    state->fvf = 0;
}

D3DLIGHT9 DefaultLight() {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 0.0f};
    light.Direction = D3DVECTOR{0.0f, 0.0f, 1.0f};
    return light;
}

bool IsValidRenderState(D3DRENDERSTATETYPE state) {
    return static_cast<DWORD>(state) < kRenderStateCount && !IsRenderStateGap(state);
}

bool IsValidStageState(D3DTEXTURESTAGESTATETYPE type) {
    DWORD value = type;
    return (value >= D3DTSS_COLOROP && value <= D3DTSS_TEXCOORDINDEX) ||
           value == D3DTSS_BUMPENVLSCALE || value == D3DTSS_BUMPENVLOFFSET ||
           value == D3DTSS_TEXTURETRANSFORMFLAGS || (value >= D3DTSS_COLORARG0 && value <= D3DTSS_RESULTARG) ||
           value == D3DTSS_CONSTANT;
}

bool IsValidSamplerState(D3DSAMPLERSTATETYPE type) {
    return type >= D3DSAMP_ADDRESSU && type <= D3DSAMP_DMAPOFFSET;
}

bool IsFloatRenderState(D3DRENDERSTATETYPE state) {
    switch (state) {
        case D3DRS_FOGSTART: case D3DRS_FOGEND: case D3DRS_FOGDENSITY: case D3DRS_POINTSIZE:
        case D3DRS_POINTSIZE_MIN: case D3DRS_POINTSCALE_A: case D3DRS_POINTSCALE_B: case D3DRS_POINTSCALE_C:
        case D3DRS_POINTSIZE_MAX: case D3DRS_TWEENFACTOR: case D3DRS_SLOPESCALEDEPTHBIAS:
        case D3DRS_MINTESSELLATIONLEVEL: case D3DRS_MAXTESSELLATIONLEVEL: case D3DRS_ADAPTIVETESS_X:
        case D3DRS_ADAPTIVETESS_Y: case D3DRS_ADAPTIVETESS_Z: case D3DRS_ADAPTIVETESS_W: case D3DRS_DEPTHBIAS:
            return true;
        default: return false;
    }
}

bool IsColorRenderState(D3DRENDERSTATETYPE state) {
    return state == D3DRS_AMBIENT || state == D3DRS_FOGCOLOR || state == D3DRS_TEXTUREFACTOR ||
           state == D3DRS_BLENDFACTOR;
}

}  // namespace platform

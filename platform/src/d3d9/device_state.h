// Everything a Direct3D 9 device remembers between calls, with the Windows defaults, and
// the bits a setter raises so that a drawing device applies only what changed.
#pragma once

#include <d3d9.h>

#include <array>
#include <map>

namespace platform {

constexpr DWORD kRenderStateCount = D3DRS_BLENDOPALPHA + 1;
constexpr DWORD kTextureStages = 8;
constexpr DWORD kStageStateCount = D3DTSS_CONSTANT + 1;
constexpr DWORD kSamplers = 16;
constexpr DWORD kSamplerStateCount = D3DSAMP_DMAPOFFSET + 1;
constexpr DWORD kStreams = 16;
constexpr DWORD kWorldMatrices = 256;
constexpr DWORD kMaxActiveLights = 8;

// Which part of the state changed since the drawing device last looked.
enum DirtyBits : uint32_t {
    kDirtyTransforms = 1u << 0,
    kDirtyViewport = 1u << 1,
    kDirtyMaterial = 1u << 2,
    kDirtyLights = 1u << 3,
    kDirtyRenderStates = 1u << 4,
    kDirtyStageStates = 1u << 5,
    kDirtySamplers = 1u << 6,
    kDirtyTextures = 1u << 7,
    kDirtyVertexInput = 1u << 8,  // FVF or stream sources
    kDirtyIndices = 1u << 9,
    kDirtyShaderStates = 1u << 10,  // render states that the fixed-function shader reads
    kDirtyAll = 0xffffffffu,
};

struct LightSlot {
    D3DLIGHT9 light{};
    bool enabled = false;
};

struct StreamSource {
    IDirect3DVertexBuffer9* buffer = nullptr;
    UINT offset = 0;
    UINT stride = 0;
};

struct DeviceState {
    std::array<DWORD, kRenderStateCount> renderStates{};
    std::array<std::array<DWORD, kStageStateCount>, kTextureStages> stageStates{};
    std::array<std::array<DWORD, kSamplerStateCount>, kSamplers> samplerStates{};
    std::array<D3DMATRIX, kWorldMatrices> world{};
    D3DMATRIX view{};
    D3DMATRIX projection{};
    std::array<D3DMATRIX, 8> textureTransforms{};
    D3DVIEWPORT9 viewport{};
    D3DMATERIAL9 material{};
    std::map<DWORD, LightSlot> lights;  // sparse: any index may be set, as on Windows
    std::array<IDirect3DBaseTexture9*, kSamplers> textures{};
    std::array<StreamSource, kStreams> streams{};
    IDirect3DIndexBuffer9* indices = nullptr;
    DWORD fvf = 0;
};

// The state of a freshly created device whose render target is width x height.
// autoDepthStencil decides the default of D3DRS_ZENABLE.
void SetDefaultState(DeviceState* state, UINT width, UINT height, bool autoDepthStencil);

// The light LightEnable creates when it enables an index that was never set: a white
// directional light pointing down +z.
D3DLIGHT9 DefaultLight();

bool IsValidRenderState(D3DRENDERSTATETYPE state);
bool IsValidStageState(D3DTEXTURESTAGESTATETYPE type);
bool IsValidSamplerState(D3DSAMPLERSTATETYPE type);
// The render states that hold a float in their DWORD.
bool IsFloatRenderState(D3DRENDERSTATETYPE state);
// The render states that hold a D3DCOLOR.
bool IsColorRenderState(D3DRENDERSTATETYPE state);

}  // namespace platform

#include "d3d9/device_caps.h"

#include "d3d9/device_state.h"

namespace platform {
namespace {

float g_maxPointSize = 256.0f;

// The largest texture side, as on the Shader Model 3 cards of the programs' time. A texture
// file larger than this is scaled down to it on loading, which also bounds what a small file
// that declares a huge image can cost (a 4096 x 4096 texture with its mip chain is 85 MiB).
constexpr DWORD kMaxTextureSide = 4096;

constexpr DWORD kFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MIPFPOINT |
                              D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
constexpr DWORD kAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP |
                               D3DPTADDRESSCAPS_BORDER | D3DPTADDRESSCAPS_MIRRORONCE;
constexpr DWORD kCompareCaps = D3DPCMPCAPS_NEVER | D3DPCMPCAPS_LESS | D3DPCMPCAPS_EQUAL | D3DPCMPCAPS_LESSEQUAL |
                               D3DPCMPCAPS_GREATER | D3DPCMPCAPS_NOTEQUAL | D3DPCMPCAPS_GREATEREQUAL |
                               D3DPCMPCAPS_ALWAYS;
// Every blend factor, the two that set both factors at once included.
constexpr DWORD kBlendCaps =
    D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCCOLOR | D3DPBLENDCAPS_INVSRCCOLOR |
    D3DPBLENDCAPS_SRCALPHA | D3DPBLENDCAPS_INVSRCALPHA | D3DPBLENDCAPS_DESTALPHA | D3DPBLENDCAPS_INVDESTALPHA |
    D3DPBLENDCAPS_DESTCOLOR | D3DPBLENDCAPS_INVDESTCOLOR | D3DPBLENDCAPS_SRCALPHASAT | D3DPBLENDCAPS_BOTHSRCALPHA |
    D3DPBLENDCAPS_BOTHINVSRCALPHA | D3DPBLENDCAPS_BLENDFACTOR;
// The stage operations the fixed-function shader carries out. PREMODULATE, the bump maps,
// MULTIPLYADD and LERP are not among them.
constexpr DWORD kTextureOpCaps =
    D3DTEXOPCAPS_DISABLE | D3DTEXOPCAPS_SELECTARG1 | D3DTEXOPCAPS_SELECTARG2 | D3DTEXOPCAPS_MODULATE |
    D3DTEXOPCAPS_MODULATE2X | D3DTEXOPCAPS_MODULATE4X | D3DTEXOPCAPS_ADD | D3DTEXOPCAPS_ADDSIGNED |
    D3DTEXOPCAPS_ADDSIGNED2X | D3DTEXOPCAPS_SUBTRACT | D3DTEXOPCAPS_ADDSMOOTH | D3DTEXOPCAPS_BLENDDIFFUSEALPHA |
    D3DTEXOPCAPS_BLENDTEXTUREALPHA | D3DTEXOPCAPS_BLENDFACTORALPHA | D3DTEXOPCAPS_BLENDTEXTUREALPHAPM |
    D3DTEXOPCAPS_BLENDCURRENTALPHA | D3DTEXOPCAPS_MODULATEALPHA_ADDCOLOR | D3DTEXOPCAPS_MODULATECOLOR_ADDALPHA |
    D3DTEXOPCAPS_MODULATEINVALPHA_ADDCOLOR | D3DTEXOPCAPS_MODULATEINVCOLOR_ADDALPHA | D3DTEXOPCAPS_DOTPRODUCT3;
constexpr DWORD kMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW |
                            D3DPMISCCAPS_CULLCCW | D3DPMISCCAPS_COLORWRITEENABLE;
// Gouraud colours, specular and alpha; there is no fog.
constexpr DWORD kShadeCaps =
    D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB | D3DPSHADECAPS_ALPHAGOURAUDBLEND;
// Texture coordinate sets an FVF may carry (the low bits of FVFCaps).
constexpr DWORD kTextureCoordinateSets = 8;
// Two texture stages, as the shader has.
constexpr DWORD kBlendStages = 2;

}  // namespace

void RecordGlPointSizeLimit(float maxPointSize) {
    if (maxPointSize > 0.0f) g_maxPointSize = maxPointSize;
}

D3DCAPS9 DefaultDeviceCaps() {
    D3DCAPS9 caps{};
    caps.DeviceType = D3DDEVTYPE_HAL;
    caps.AdapterOrdinal = 0;
    caps.PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
    caps.DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    caps.PrimitiveMiscCaps = kMiscCaps;
    caps.ZCmpCaps = kCompareCaps;
    caps.AlphaCmpCaps = kCompareCaps;
    caps.SrcBlendCaps = kBlendCaps;
    caps.DestBlendCaps = kBlendCaps;
    caps.ShadeCaps = kShadeCaps;
    caps.TextureCaps = D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_MIPMAP;
    caps.TextureFilterCaps = kFilterCaps;
    caps.TextureAddressCaps = kAddressCaps;
    caps.MaxTextureWidth = kMaxTextureSide;
    caps.MaxTextureHeight = kMaxTextureSide;
    caps.MaxTextureRepeat = 8192;
    caps.MaxTextureAspectRatio = 8192;
    caps.MaxAnisotropy = 1;
    caps.MaxVertexW = 1e10f;
    caps.StencilCaps = D3DSTENCILCAPS_KEEP | D3DSTENCILCAPS_ZERO | D3DSTENCILCAPS_REPLACE | D3DSTENCILCAPS_INCRSAT |
                       D3DSTENCILCAPS_DECRSAT | D3DSTENCILCAPS_INVERT | D3DSTENCILCAPS_INCR | D3DSTENCILCAPS_DECR;
    caps.FVFCaps = kTextureCoordinateSets | D3DFVFCAPS_PSIZE;
    caps.TextureOpCaps = kTextureOpCaps;
    caps.MaxTextureBlendStages = kBlendStages;
    caps.MaxSimultaneousTextures = kBlendStages;
    caps.VertexProcessingCaps = D3DVTXPCAPS_MATERIALSOURCE7 | D3DVTXPCAPS_DIRECTIONALLIGHTS |
                                D3DVTXPCAPS_POSITIONALLIGHTS | D3DVTXPCAPS_LOCALVIEWER;
    caps.MaxActiveLights = kMaxActiveLights;
    caps.MaxPointSize = g_maxPointSize;
    caps.MaxPrimitiveCount = 0x00ffffff;
    caps.MaxVertexIndex = 0x00ffffff;
    caps.MaxStreams = 1;
    caps.MaxStreamStride = 255;
    caps.NumSimultaneousRTs = 1;
    caps.MasterAdapterOrdinal = 0;
    caps.NumberOfAdaptersInGroup = 1;
    return caps;
}

}  // namespace platform

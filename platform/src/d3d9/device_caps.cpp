#include "d3d9/device_caps.h"

namespace platform {
namespace {

float g_maxPointSize = 256.0f;

// The largest texture side, as on the Shader Model 3 cards of the programs' time. A texture
// file larger than this is scaled down to it on loading, which also bounds what a small file
// that declares a huge image can cost (a 4096 x 4096 texture with its mip chain is 85 MiB).
constexpr DWORD kMaxTextureSide = 4096;

// D3DPTFILTERCAPS_MINFPOINT | MINFLINEAR | MIPFPOINT | MIPFLINEAR | MAGFPOINT | MAGFLINEAR
constexpr DWORD kFilterCaps = 0x00000100 | 0x00000200 | 0x00010000 | 0x00020000 | 0x01000000 | 0x02000000;
// D3DPTADDRESSCAPS_WRAP | MIRROR | CLAMP | BORDER | MIRRORONCE
constexpr DWORD kAddressCaps = 0x1 | 0x2 | 0x4 | 0x8 | 0x20;
// D3DPCMPCAPS_NEVER ... ALWAYS
constexpr DWORD kCompareCaps = 0xff;
// D3DPBLENDCAPS_ZERO ... BLENDFACTOR (without the both-alpha ones)
constexpr DWORD kBlendCaps = 0x3fff;
// The stage operations the fixed-function shader carries out: D3DTEXOPCAPS_DISABLE through
// BLENDCURRENTALPHA, the four MODULATE..._ADD... ones and DOTPRODUCT3. PREMODULATE, the bump
// maps, MULTIPLYADD and LERP are not among them.
constexpr DWORD kTextureOpCaps = 0x0000ffff | 0x00020000 | 0x00040000 | 0x00080000 | 0x00100000 | 0x00800000;

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
    caps.PrimitiveMiscCaps = 0x2 | 0x10 | 0x20 | 0x40 | 0x80;  // MASKZ, CULLNONE, CULLCW, CULLCCW, COLORWRITEENABLE
    caps.ZCmpCaps = kCompareCaps;
    caps.AlphaCmpCaps = kCompareCaps;
    caps.SrcBlendCaps = kBlendCaps;
    caps.DestBlendCaps = kBlendCaps;
    caps.ShadeCaps = 0x8 | 0x200 | 0x4000 | 0x40000;  // colour, specular, alpha Gouraud; fog
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
    caps.FVFCaps = 8 | D3DFVFCAPS_PSIZE;  // eight texture coordinate sets
    caps.TextureOpCaps = kTextureOpCaps;
    caps.MaxTextureBlendStages = 2;
    caps.MaxSimultaneousTextures = 2;
    caps.VertexProcessingCaps = D3DVTXPCAPS_MATERIALSOURCE7 | D3DVTXPCAPS_DIRECTIONALLIGHTS |
                                D3DVTXPCAPS_POSITIONALLIGHTS | D3DVTXPCAPS_LOCALVIEWER;
    caps.MaxActiveLights = 8;
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

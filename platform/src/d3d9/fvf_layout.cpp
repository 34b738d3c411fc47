#include "d3d9/fvf_layout.h"

namespace platform {
namespace {

// Size of the position element plus any blend weights that follow it.
UINT PositionBytes(DWORD position) {
    switch (position) {
        case D3DFVF_XYZ: return 12;
        case D3DFVF_XYZRHW: return 16;
        case D3DFVF_XYZW: return 16;
        case D3DFVF_XYZB1: return 16;
        case D3DFVF_XYZB2: return 20;
        case D3DFVF_XYZB3: return 24;
        case D3DFVF_XYZB4: return 28;
        case D3DFVF_XYZB5: return 32;
        default: return 0;
    }
}

// D3DFVF_TEXCOORDSIZEn stores 0 for two floats, 1 for three, 2 for four and 3 for one.
int TexCoordComponents(DWORD fvf, int set) {
    static const int kComponents[4] = {2, 3, 4, 1};
    return kComponents[(fvf >> (16 + set * 2)) & 3];
}

}  // namespace

FvfLayout DescribeFvf(DWORD fvf) {
    FvfLayout layout;
    DWORD position = fvf & D3DFVF_POSITION_MASK;
    UINT offset = PositionBytes(position);
    int texCount = static_cast<int>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    if (offset == 0 || texCount > kMaxFvfTexCoordSets) return layout;

    layout.pretransformed = position == D3DFVF_XYZRHW;
    layout.positionComponents = (position == D3DFVF_XYZRHW || position == D3DFVF_XYZW) ? 4 : 3;
    auto take = [&offset](DWORD bit, DWORD flags, UINT size) {
        if ((flags & bit) == 0) return -1;
        int at = static_cast<int>(offset);
        offset += size;
        return at;
    };
    layout.normalOffset = take(D3DFVF_NORMAL, fvf, 12);
    layout.pointSizeOffset = take(D3DFVF_PSIZE, fvf, 4);
    layout.diffuseOffset = take(D3DFVF_DIFFUSE, fvf, 4);
    layout.specularOffset = take(D3DFVF_SPECULAR, fvf, 4);
    layout.texCoordSetCount = texCount;
    for (int set = 0; set < texCount; ++set) {
        layout.texCoordComponents[set] = TexCoordComponents(fvf, set);
        layout.texCoordOffset[set] = static_cast<int>(offset);
        offset += 4 * layout.texCoordComponents[set];
    }
    layout.stride = offset;
    layout.valid = true;
    return layout;
}

UINT FvfVertexSize(DWORD fvf) { return DescribeFvf(fvf).stride; }

}  // namespace platform

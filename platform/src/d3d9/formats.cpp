#include "d3d9/formats.h"

#include <algorithm>

namespace platform {

bool IsTextureFormat(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
        case D3DFMT_L8:
        case D3DFMT_DXT1:
        case D3DFMT_DXT3:
        case D3DFMT_DXT5: return true;
        default: return false;
    }
}

bool IsBlockCompressed(D3DFORMAT format) {
    return format == D3DFMT_DXT1 || format == D3DFMT_DXT3 || format == D3DFMT_DXT5;
}

UINT FormatUnitBytes(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_L8: return 1;
        case D3DFMT_DXT1: return 8;
        case D3DFMT_DXT3:
        case D3DFMT_DXT5: return 16;
        default: return 4;
    }
}

UINT FormatRowPitch(D3DFORMAT format, UINT width) {
    if (IsBlockCompressed(format)) return ((width + 3) / 4) * FormatUnitBytes(format);
    return width * FormatUnitBytes(format);
}

UINT FormatImageBytes(D3DFORMAT format, UINT width, UINT height) {
    UINT rows = IsBlockCompressed(format) ? (height + 3) / 4 : height;
    return FormatRowPitch(format, width) * rows;
}

UINT FullMipCount(UINT width, UINT height) {
    UINT levels = 1;
    for (UINT size = std::max(width, height); size > 1; size /= 2) ++levels;
    return levels;
}

}  // namespace platform

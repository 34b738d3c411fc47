#include "d3dx/image.h"

#include <algorithm>

namespace platform::d3dx {

bool IsBlockCompressed(D3DFORMAT format) {
    return format == D3DFMT_DXT1 || format == D3DFMT_DXT3 || format == D3DFMT_DXT5;
}

uint32_t BlockBytes(D3DFORMAT format) { return format == D3DFMT_DXT1 ? 8 : 16; }

uint32_t RowBytes(D3DFORMAT format, uint32_t width) {
    if (IsBlockCompressed(format)) return std::max(1u, (width + 3) / 4) * BlockBytes(format);
    return width * 4;
}

uint32_t RowCount(D3DFORMAT format, uint32_t height) {
    return IsBlockCompressed(format) ? std::max(1u, (height + 3) / 4) : height;
}

uint64_t LevelByteSize(D3DFORMAT format, uint32_t width, uint32_t height) {
    return static_cast<uint64_t>(RowBytes(format, width)) * RowCount(format, height);
}

uint32_t FullMipCount(uint32_t width, uint32_t height) {
    uint32_t levels = 1;
    while (width > 1 || height > 1) {
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
        ++levels;
    }
    return levels;
}

}  // namespace platform::d3dx

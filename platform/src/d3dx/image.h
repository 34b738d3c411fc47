// Decoded texture images: what the file decoders produce and the texture loader uploads.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform::d3dx {

// One mip level. Uncompressed levels hold 4 bytes per texel in D3D memory order (B, G, R, A
// for A8R8G8B8 and X8R8G8B8), rows top to bottom with no padding; DXT levels hold their 4x4
// blocks row by row.
struct ImageLevel {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> bytes;
};

struct Image {
    D3DFORMAT format = D3DFMT_UNKNOWN;
    std::vector<ImageLevel> levels;  // level 0 first; a file may provide fewer than the full chain
};

using Bytes = std::span<const uint8_t>;

// The largest side accepted from a file; anything bigger is treated as malformed so that a
// corrupt header cannot request gigabytes.
constexpr uint32_t kMaxImageSide = 16384;

// The largest texture sides a device takes (D3DCAPS9 MaxTextureWidth and MaxTextureHeight).
// An image file larger than that is scaled down to fit, as D3DX does, and decoded no larger.
struct TextureLimits {
    uint32_t maxWidth = kMaxImageSide;
    uint32_t maxHeight = kMaxImageSide;
};

// The largest texture file read: room for an uncompressed 8192 x 8192 image with its whole
// mip chain (about 342 MiB). A larger file is refused before a byte of it is read.
constexpr uint64_t kMaxTextureFileBytes = uint64_t{512} << 20;

bool IsBlockCompressed(D3DFORMAT format);
// Bytes of one 4x4 block (DXT1: 8, DXT3/DXT5: 16).
uint32_t BlockBytes(D3DFORMAT format);
// Size in bytes of a level of the given format and size.
uint64_t LevelByteSize(D3DFORMAT format, uint32_t width, uint32_t height);
// Bytes in one row of texels, or of 4x4 blocks for DXT formats, and the number of such rows.
uint32_t RowBytes(D3DFORMAT format, uint32_t width);
uint32_t RowCount(D3DFORMAT format, uint32_t height);
// Levels of a complete mip chain down to 1x1 (each side halves, stopping at 1).
uint32_t FullMipCount(uint32_t width, uint32_t height);

// Little-endian readers that the decoders use after checking the range themselves.
inline uint16_t ReadU16(Bytes data, size_t offset) {
    return static_cast<uint16_t>(data[offset] | (data[offset + 1] << 8));
}
inline uint32_t ReadU32(Bytes data, size_t offset) {
    return static_cast<uint32_t>(data[offset]) | (static_cast<uint32_t>(data[offset + 1]) << 8) |
           (static_cast<uint32_t>(data[offset + 2]) << 16) | (static_cast<uint32_t>(data[offset + 3]) << 24);
}

}  // namespace platform::d3dx

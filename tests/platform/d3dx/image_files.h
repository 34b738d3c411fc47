// Small image files built in memory for the decoder tests.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace d3dx_test {

using Bytes = std::vector<uint8_t>;

inline void PutU16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}
inline void PutU32(Bytes& out, uint32_t value) {
    PutU16(out, value & 0xffff);
    PutU16(out, value >> 16);
}

// A BMP with a 40-byte info header. `palette` holds 0x00RRGGBB entries (8-bit only);
// `pixels` is the pixel data exactly as stored (rows padded, bottom-up unless height < 0).
inline Bytes BmpFile(int32_t width, int32_t height, uint16_t bitCount, uint32_t compression,
                     const std::vector<uint32_t>& palette, const Bytes& pixels) {
    Bytes out{'B', 'M'};
    uint32_t dataOffset = 14 + 40 + static_cast<uint32_t>(palette.size()) * 4;
    PutU32(out, dataOffset + static_cast<uint32_t>(pixels.size()));
    PutU32(out, 0);
    PutU32(out, dataOffset);
    PutU32(out, 40);
    PutU32(out, static_cast<uint32_t>(width));
    PutU32(out, static_cast<uint32_t>(height));
    PutU16(out, 1);
    PutU16(out, bitCount);
    PutU32(out, compression);
    PutU32(out, static_cast<uint32_t>(pixels.size()));
    PutU32(out, 2835);
    PutU32(out, 2835);
    PutU32(out, static_cast<uint32_t>(palette.size()));
    PutU32(out, 0);
    for (uint32_t entry : palette) PutU32(out, entry);
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

// A DDS file: DXTn by four-character code, or 32-bit RGB with the A8R8G8B8 masks (alpha mask
// only when `alpha`). `data` is every level back to back.
inline Bytes DdsFile(D3DFORMAT format, uint32_t width, uint32_t height, uint32_t mipCount, const Bytes& data) {
    Bytes out{'D', 'D', 'S', ' '};
    PutU32(out, 124);
    PutU32(out, 0x1 | 0x2 | 0x4 | 0x1000 | (mipCount > 1 ? 0x20000 : 0));
    PutU32(out, height);
    PutU32(out, width);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, mipCount);
    for (int i = 0; i < 11; ++i) PutU32(out, 0);
    PutU32(out, 32);
    bool compressed = format == D3DFMT_DXT1 || format == D3DFMT_DXT3 || format == D3DFMT_DXT5;
    bool alpha = format == D3DFMT_A8R8G8B8;
    PutU32(out, compressed ? 0x4 : (0x40 | (alpha ? 0x1 : 0)));
    PutU32(out, compressed ? static_cast<uint32_t>(format) : 0);
    PutU32(out, compressed ? 0 : 32);
    for (uint32_t mask : {0x00ff0000u, 0x0000ff00u, 0x000000ffu}) PutU32(out, compressed ? 0 : mask);
    PutU32(out, alpha ? 0xff000000u : 0);
    PutU32(out, 0x1000);
    for (int i = 0; i < 4; ++i) PutU32(out, 0);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// Texel (x, y) of an uncompressed level as 0xAARRGGBB.
inline uint32_t TexelAt(const std::vector<uint8_t>& bytes, uint32_t width, uint32_t x, uint32_t y) {
    const uint8_t* p = bytes.data() + (static_cast<size_t>(y) * width + x) * 4;
    return static_cast<uint32_t>(p[0]) | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace d3dx_test

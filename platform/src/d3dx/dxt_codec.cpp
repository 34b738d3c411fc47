#include "d3dx/dxt_codec.h"

#include <algorithm>
#include <array>

#define STB_DXT_IMPLEMENTATION
#include <stb/stb_dxt.h>

namespace platform::d3dx {
namespace {

using Block = std::array<uint32_t, 16>;  // ARGB texels of a 4x4 block, row by row

uint32_t Expand565(uint16_t color) {
    uint32_t r = (color >> 11) & 31, g = (color >> 5) & 63, b = color & 31;
    return 0xff000000u | (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
}

// Channel-wise (a * wa + b * wb) / (wa + wb) of two opaque colours.
uint32_t Mix(uint32_t a, uint32_t b, uint32_t wa, uint32_t wb) {
    uint32_t out = 0xff000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t channel = (((a >> shift) & 255) * wa + ((b >> shift) & 255) * wb) / (wa + wb);
        out |= channel << shift;
    }
    return out;
}

// Colour part shared by all three formats; DXT3/5 always use the four-colour mode.
void DecodeColors(const uint8_t* data, bool allowTransparent, Block& block) {
    uint16_t c0 = static_cast<uint16_t>(data[0] | (data[1] << 8));
    uint16_t c1 = static_cast<uint16_t>(data[2] | (data[3] << 8));
    std::array<uint32_t, 4> palette{Expand565(c0), Expand565(c1), 0, 0};
    if (c0 > c1 || !allowTransparent) {
        palette[2] = Mix(palette[0], palette[1], 2, 1);
        palette[3] = Mix(palette[0], palette[1], 1, 2);
    } else {
        palette[2] = Mix(palette[0], palette[1], 1, 1);
        palette[3] = 0;  // transparent black
    }
    uint32_t indices = data[4] | (data[5] << 8) | (data[6] << 16) | (static_cast<uint32_t>(data[7]) << 24);
    for (int i = 0; i < 16; ++i) block[i] = palette[(indices >> (2 * i)) & 3];
}

void ApplyAlpha(Block& block, int texel, uint32_t alpha) {
    block[texel] = (block[texel] & 0x00ffffffu) | (alpha << 24);
}

void DecodeExplicitAlpha(const uint8_t* data, Block& block) {
    for (int i = 0; i < 16; ++i) {
        uint32_t nibble = (data[i / 2] >> ((i & 1) * 4)) & 15;
        ApplyAlpha(block, i, nibble * 17);
    }
}

void DecodeInterpolatedAlpha(const uint8_t* data, Block& block) {
    uint32_t a0 = data[0], a1 = data[1];
    std::array<uint32_t, 8> alphas{a0, a1};
    if (a0 > a1) {
        for (uint32_t i = 1; i < 7; ++i) alphas[i + 1] = ((7 - i) * a0 + i * a1) / 7;
    } else {
        for (uint32_t i = 1; i < 5; ++i) alphas[i + 1] = ((5 - i) * a0 + i * a1) / 5;
        alphas[6] = 0;
        alphas[7] = 255;
    }
    uint64_t bits = 0;
    for (int i = 0; i < 6; ++i) bits |= static_cast<uint64_t>(data[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i) ApplyAlpha(block, i, alphas[(bits >> (3 * i)) & 7]);
}

Block DecodeBlock(D3DFORMAT format, const uint8_t* data) {
    Block block{};
    if (format == D3DFMT_DXT1) {
        DecodeColors(data, true, block);
    } else if (format == D3DFMT_DXT3) {
        DecodeColors(data + 8, false, block);
        DecodeExplicitAlpha(data, block);
    } else {
        DecodeColors(data + 8, false, block);
        DecodeInterpolatedAlpha(data, block);
    }
    return block;
}

void EncodeBlock(D3DFORMAT format, const std::array<uint8_t, 64>& rgba, uint8_t* out) {
    if (format == D3DFMT_DXT1) {
        stb_compress_dxt_block(out, rgba.data(), 0, STB_DXT_HIGHQUAL);
    } else if (format == D3DFMT_DXT5) {
        stb_compress_dxt_block(out, rgba.data(), 1, STB_DXT_HIGHQUAL);
    } else {
        for (int i = 0; i < 8; ++i) {
            uint32_t low = (rgba[(2 * i) * 4 + 3] * 15 + 127) / 255;
            uint32_t high = (rgba[(2 * i + 1) * 4 + 3] * 15 + 127) / 255;
            out[i] = static_cast<uint8_t>(low | (high << 4));
        }
        stb_compress_dxt_block(out + 8, rgba.data(), 0, STB_DXT_HIGHQUAL);
    }
}

}  // namespace

std::vector<uint8_t> DecodeDxtLevel(D3DFORMAT format, uint32_t width, uint32_t height, Bytes blocks) {
    std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 4);
    uint32_t blocksAcross = std::max(1u, (width + 3) / 4), blocksDown = std::max(1u, (height + 3) / 4);
    for (uint32_t by = 0; by < blocksDown; ++by) {
        for (uint32_t bx = 0; bx < blocksAcross; ++bx) {
            Block block = DecodeBlock(format, blocks.data() + (by * blocksAcross + bx) * BlockBytes(format));
            for (uint32_t i = 0; i < 16; ++i) {
                uint32_t x = bx * 4 + i % 4, y = by * 4 + i / 4;
                if (x >= width || y >= height) continue;
                uint8_t* out = texels.data() + (static_cast<size_t>(y) * width + x) * 4;
                for (int c = 0; c < 4; ++c) out[c] = static_cast<uint8_t>(block[i] >> (8 * c));
            }
        }
    }
    return texels;
}

std::vector<uint8_t> EncodeDxtLevel(D3DFORMAT format, uint32_t width, uint32_t height, Bytes texels) {
    uint32_t blocksAcross = std::max(1u, (width + 3) / 4), blocksDown = std::max(1u, (height + 3) / 4);
    std::vector<uint8_t> blocks(static_cast<size_t>(blocksAcross) * blocksDown * BlockBytes(format));
    for (uint32_t by = 0; by < blocksDown; ++by) {
        for (uint32_t bx = 0; bx < blocksAcross; ++bx) {
            std::array<uint8_t, 64> rgba{};
            for (uint32_t i = 0; i < 16; ++i) {
                // Blocks hanging over a small level repeat its edge texels.
                uint32_t x = std::min(bx * 4 + i % 4, width - 1), y = std::min(by * 4 + i / 4, height - 1);
                const uint8_t* in = texels.data() + (static_cast<size_t>(y) * width + x) * 4;
                rgba[i * 4 + 0] = in[2];
                rgba[i * 4 + 1] = in[1];
                rgba[i * 4 + 2] = in[0];
                rgba[i * 4 + 3] = in[3];
            }
            EncodeBlock(format, rgba, blocks.data() + (by * blocksAcross + bx) * BlockBytes(format));
        }
    }
    return blocks;
}

}  // namespace platform::d3dx

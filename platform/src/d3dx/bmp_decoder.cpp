#include "d3dx/bmp_decoder.h"

#include <algorithm>
#include <array>
#include <bit>

namespace platform::d3dx {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCompressionRgb = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionBitfields = 3;

struct BmpHeader {
    uint32_t dataOffset = 0;
    uint32_t infoSize = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    bool topDown = false;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t paletteCount = 0;
    std::array<uint32_t, 4> masks{0x00ff0000, 0x0000ff00, 0x000000ff, 0xff000000};  // R G B A
};

using Palette = std::array<uint32_t, 256>;

std::optional<BmpHeader> ReadHeader(Bytes file) {
    if (file.size() < kFileHeaderSize + 40 || file[0] != 'B' || file[1] != 'M') return std::nullopt;
    BmpHeader header;
    header.dataOffset = ReadU32(file, 10);
    header.infoSize = ReadU32(file, 14);
    if (header.infoSize < 40 || kFileHeaderSize + header.infoSize > file.size()) return std::nullopt;
    int32_t width = static_cast<int32_t>(ReadU32(file, 18));
    int32_t height = static_cast<int32_t>(ReadU32(file, 22));
    header.bitCount = ReadU16(file, 28);
    header.compression = ReadU32(file, 30);
    header.paletteCount = ReadU32(file, 46);
    if (width <= 0 || height == 0 || height == INT32_MIN) return std::nullopt;
    header.topDown = height < 0;
    header.width = static_cast<uint32_t>(width);
    header.height = static_cast<uint32_t>(height < 0 ? -height : height);
    if (header.width > kMaxImageSide || header.height > kMaxImageSide) return std::nullopt;
    if (header.dataOffset > file.size()) return std::nullopt;
    return header;
}

// Bitfield masks follow a 40-byte header; larger headers carry them inside.
bool ReadMasks(Bytes file, BmpHeader& header) {
    size_t at = kFileHeaderSize + 40;
    size_t count = header.infoSize >= 56 ? 4 : 3;
    if (at + count * 4 > file.size()) return false;
    for (size_t i = 0; i < count; ++i) header.masks[i] = ReadU32(file, at + i * 4);
    if (count == 3) header.masks[3] = 0;
    return true;
}

std::optional<Palette> ReadPalette(Bytes file, const BmpHeader& header) {
    uint32_t count = header.paletteCount == 0 ? 256 : header.paletteCount;
    if (count > 256) return std::nullopt;
    size_t at = kFileHeaderSize + header.infoSize;
    if (at + static_cast<size_t>(count) * 4 > file.size()) return std::nullopt;
    Palette palette{};
    for (uint32_t i = 0; i < count; ++i) palette[i] = (ReadU32(file, at + i * 4) & 0x00ffffff) | 0xff000000;
    return palette;
}

// Row y of the image (0 = top) as stored in the file, given rows in file order.
size_t FileRowOf(const BmpHeader& header, uint32_t y) { return header.topDown ? y : header.height - 1 - y; }

// Which stored pixels make the decoded image: every one, or for an image larger than the
// limits the one nearest to the centre of each texel of the image scaled down to them.
struct Sampling {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> sourceColumns;  // per decoded column
    std::vector<uint32_t> sourceRows;     // per decoded row, 0 = top
};

std::vector<uint32_t> NearestSources(uint32_t sourceSize, uint32_t size) {
    std::vector<uint32_t> sources(size);
    for (uint32_t i = 0; i < size; ++i) {
        sources[i] = static_cast<uint32_t>((2 * uint64_t{i} + 1) * sourceSize / (2 * uint64_t{size}));
    }
    return sources;
}

Sampling SamplingOf(const BmpHeader& header, TextureLimits limits) {
    Sampling sampling;
    sampling.width = std::min(header.width, limits.maxWidth);
    sampling.height = std::min(header.height, limits.maxHeight);
    sampling.sourceColumns = NearestSources(header.width, sampling.width);
    sampling.sourceRows = NearestSources(header.height, sampling.height);
    return sampling;
}

// The inverse of a NearestSources map: for each source index its decoded index, or -1 for a
// source that no decoded texel takes (scaling only ever reduces, so there is at most one).
std::vector<int32_t> TargetsOf(const std::vector<uint32_t>& sources, uint32_t sourceSize) {
    std::vector<int32_t> targets(sourceSize, -1);
    for (size_t i = 0; i < sources.size(); ++i) targets[sources[i]] = static_cast<int32_t>(i);
    return targets;
}

void PutPixel(Image& image, uint32_t x, uint32_t y, uint32_t argb) {
    uint8_t* texel = image.levels[0].bytes.data() + (static_cast<size_t>(y) * image.levels[0].width + x) * 4;
    texel[0] = static_cast<uint8_t>(argb);
    texel[1] = static_cast<uint8_t>(argb >> 8);
    texel[2] = static_cast<uint8_t>(argb >> 16);
    texel[3] = static_cast<uint8_t>(argb >> 24);
}

Image EmptyImage(const Sampling& sampling, D3DFORMAT format) {
    Image image;
    image.format = format;
    image.levels.push_back({sampling.width, sampling.height,
                            std::vector<uint8_t>(static_cast<size_t>(sampling.width) * sampling.height * 4)});
    return image;
}

uint32_t ChannelOf(uint32_t value, uint32_t mask) {
    if (mask == 0) return 0;
    uint32_t shifted = (value & mask) >> std::countr_zero(mask);
    uint32_t bits = std::popcount(mask);
    return bits >= 8 ? shifted >> (bits - 8) : shifted * 255 / ((1u << bits) - 1);
}

std::optional<Image> DecodeUncompressed(Bytes file, const BmpHeader& header, const Palette* palette,
                                        const Sampling& sampling) {
    size_t stride = ((static_cast<size_t>(header.width) * header.bitCount + 31) / 32) * 4;
    if (header.dataOffset + stride * header.height > file.size()) return std::nullopt;
    bool anyAlpha = false;
    Image image = EmptyImage(sampling, D3DFMT_X8R8G8B8);
    for (uint32_t y = 0; y < sampling.height; ++y) {
        const uint8_t* row = file.data() + header.dataOffset + FileRowOf(header, sampling.sourceRows[y]) * stride;
        for (uint32_t column = 0; column < sampling.width; ++column) {
            const uint32_t x = sampling.sourceColumns[column];
            uint32_t argb;
            if (header.bitCount == 8) {
                argb = (*palette)[row[x]];
            } else if (header.bitCount == 24) {
                const uint8_t* p = row + x * 3;
                argb = 0xff000000u | (p[2] << 16) | (p[1] << 8) | p[0];
            } else {
                uint32_t value = ReadU32(Bytes(row + x * 4, 4), 0);
                uint32_t alpha = ChannelOf(value, header.masks[3]);
                anyAlpha |= alpha != 0;
                argb = (alpha << 24) | (ChannelOf(value, header.masks[0]) << 16) |
                       (ChannelOf(value, header.masks[1]) << 8) | ChannelOf(value, header.masks[2]);
            }
            PutPixel(image, column, y, argb);
        }
    }
    if (header.bitCount == 32 && anyAlpha) {
        image.format = D3DFMT_A8R8G8B8;
    } else if (header.bitCount == 32) {
        // No alpha in the file: the X byte reads as opaque.
        for (size_t i = 3; i < image.levels[0].bytes.size(); i += 4) image.levels[0].bytes[i] = 0xff;
    }
    return image;
}

// RLE8 pairs: (n, index) repeats index n times; (0, 0) ends a line, (0, 1) ends the bitmap,
// (0, 2, dx, dy) moves the cursor, (0, n >= 3) is followed by n literal indices padded to a
// 16-bit boundary. Pixels never written take palette entry 0. Rows are stored bottom-up.
// Only the indices of sampled pixels are kept, so a few bytes declaring a huge bitmap cost
// no more than the decoded image.
std::optional<Image> DecodeRle8(Bytes file, const BmpHeader& header, const Palette& palette,
                                const Sampling& sampling) {
    if (header.topDown) return std::nullopt;
    const std::vector<int32_t> columnTargets = TargetsOf(sampling.sourceColumns, header.width);
    const std::vector<int32_t> rowTargets = TargetsOf(sampling.sourceRows, header.height);
    std::vector<uint8_t> indices(static_cast<size_t>(sampling.width) * sampling.height, 0);
    size_t at = header.dataOffset;
    uint32_t x = 0, row = 0;  // row counts from the bottom, as stored
    auto put = [&](uint8_t index) {
        if (x < header.width && row < header.height) {
            const int32_t column = columnTargets[x], y = rowTargets[header.height - 1 - row];
            if (column >= 0 && y >= 0) indices[static_cast<size_t>(y) * sampling.width + column] = index;
        }
        ++x;
    };
    bool ended = false;
    while (!ended) {
        if (at + 2 > file.size()) return std::nullopt;
        uint8_t count = file[at], value = file[at + 1];
        at += 2;
        if (count > 0) {
            for (uint8_t i = 0; i < count; ++i) put(value);
        } else if (value == 0) {
            x = 0;
            ++row;
        } else if (value == 1) {
            ended = true;
        } else if (value == 2) {
            if (at + 2 > file.size()) return std::nullopt;
            x += file[at];
            row += file[at + 1];
            at += 2;
        } else {
            if (at + value > file.size()) return std::nullopt;
            for (uint8_t i = 0; i < value; ++i) put(file[at + i]);
            at += value + (value & 1);
        }
        if (row > header.height) return std::nullopt;
    }
    Image image = EmptyImage(sampling, D3DFMT_X8R8G8B8);
    for (uint32_t y = 0; y < sampling.height; ++y) {
        const uint8_t* source = indices.data() + static_cast<size_t>(y) * sampling.width;
        for (uint32_t column = 0; column < sampling.width; ++column) PutPixel(image, column, y, palette[source[column]]);
    }
    return image;
}

}  // namespace

std::optional<Image> DecodeBmp(Bytes file, TextureLimits limits) {
    std::optional<BmpHeader> header = ReadHeader(file);
    if (!header) return std::nullopt;
    const Sampling sampling = SamplingOf(*header, limits);
    if (header->bitCount == 8) {
        std::optional<Palette> palette = ReadPalette(file, *header);
        if (!palette) return std::nullopt;
        if (header->compression == kCompressionRgb) return DecodeUncompressed(file, *header, &*palette, sampling);
        if (header->compression == kCompressionRle8) return DecodeRle8(file, *header, *palette, sampling);
        return std::nullopt;
    }
    if (header->bitCount == 24 && header->compression == kCompressionRgb) {
        return DecodeUncompressed(file, *header, nullptr, sampling);
    }
    if (header->bitCount == 32 && header->compression == kCompressionRgb) {
        header->masks[3] = 0xff000000;  // the fourth byte may carry alpha; D3DX looks at it
        return DecodeUncompressed(file, *header, nullptr, sampling);
    }
    if (header->bitCount == 32 && header->compression == kCompressionBitfields) {
        if (!ReadMasks(file, *header)) return std::nullopt;
        return DecodeUncompressed(file, *header, nullptr, sampling);
    }
    return std::nullopt;
}

}  // namespace platform::d3dx

#include "d3dx/dds_decoder.h"

#include <algorithm>
#include <initializer_list>

namespace platform::d3dx {
namespace {

constexpr size_t kHeaderEnd = 128;  // magic (4) + DDS_HEADER (124)
constexpr uint32_t kFlagMipMapCount = 0x20000;
constexpr uint32_t kPixelFourCc = 0x4;
constexpr uint32_t kPixelRgb = 0x40;
constexpr uint32_t kPixelAlphaPixels = 0x1;

// The pixel format block starts at byte 76 of the file.
std::optional<D3DFORMAT> FormatOf(Bytes file) {
    uint32_t flags = ReadU32(file, 80);
    if (flags & kPixelFourCc) {
        // Compared as a number first: most four-character codes are no D3DFORMAT value at all.
        uint32_t fourCc = ReadU32(file, 84);
        for (D3DFORMAT format : {D3DFMT_DXT1, D3DFMT_DXT3, D3DFMT_DXT5}) {
            if (fourCc == static_cast<uint32_t>(format)) return format;
        }
        return std::nullopt;
    }
    uint32_t bits = ReadU32(file, 88);
    uint32_t red = ReadU32(file, 92), green = ReadU32(file, 96), blue = ReadU32(file, 100);
    uint32_t alpha = ReadU32(file, 104);
    if (!(flags & kPixelRgb) || bits != 32 || red != 0x00ff0000 || green != 0x0000ff00 || blue != 0x000000ff) {
        return std::nullopt;
    }
    return (flags & kPixelAlphaPixels) && alpha == 0xff000000 ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
}

}  // namespace

std::optional<Image> DecodeDds(Bytes file) {
    if (file.size() < kHeaderEnd || ReadU32(file, 0) != MAKEFOURCC('D', 'D', 'S', ' ')) return std::nullopt;
    if (ReadU32(file, 4) != 124 || ReadU32(file, 76) != 32) return std::nullopt;
    uint32_t height = ReadU32(file, 12), width = ReadU32(file, 16);
    if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide) return std::nullopt;
    std::optional<D3DFORMAT> format = FormatOf(file);
    if (!format) return std::nullopt;

    uint32_t levelCount = 1;
    if ((ReadU32(file, 8) & kFlagMipMapCount) && ReadU32(file, 28) > 1) {
        levelCount = std::min(ReadU32(file, 28), FullMipCount(width, height));
    }
    Image image;
    image.format = *format;
    size_t at = kHeaderEnd;
    for (uint32_t level = 0; level < levelCount; ++level) {
        uint64_t size = LevelByteSize(*format, width, height);
        if (at + size > file.size()) return std::nullopt;
        image.levels.push_back({width, height, std::vector<uint8_t>(file.begin() + at, file.begin() + at + size)});
        at += size;
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
    }
    if (*format == D3DFMT_X8R8G8B8) {
        for (ImageLevel& level : image.levels) {
            for (size_t i = 3; i < level.bytes.size(); i += 4) level.bytes[i] = 0xff;
        }
    }
    return image;
}

}  // namespace platform::d3dx

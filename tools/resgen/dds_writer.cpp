#include "tools/resgen/dds_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace resgen {
namespace {

// DDS_HEADER flags: caps, height, width, pitch and pixel format are present.
constexpr uint32_t kHeaderFlags = 0x1 | 0x2 | 0x4 | 0x8 | 0x1000;
// DDS_PIXELFORMAT flags: uncompressed RGB with an alpha channel.
constexpr uint32_t kRgbWithAlpha = 0x40 | 0x1;
constexpr uint32_t kCapsTexture = 0x1000;

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(v >> shift));
}

// The magic number and the 124-byte DDS_HEADER with its 32-byte pixel format.
std::vector<uint8_t> Header(int width, int height) {
    std::vector<uint8_t> out;
    Put32(out, 0x20534444);  // "DDS "
    Put32(out, 124);
    Put32(out, kHeaderFlags);
    Put32(out, uint32_t(height));
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(width) * 4);  // pitch of one row
    Put32(out, 0);                    // depth
    Put32(out, 0);                    // mip levels: one
    for (int i = 0; i < 11; ++i) Put32(out, 0);
    Put32(out, 32);
    Put32(out, kRgbWithAlpha);
    Put32(out, 0);  // no FourCC
    Put32(out, 32);
    Put32(out, 0x00FF0000);
    Put32(out, 0x0000FF00);
    Put32(out, 0x000000FF);
    Put32(out, 0xFF000000);
    Put32(out, kCapsTexture);
    for (int i = 0; i < 4; ++i) Put32(out, 0);  // caps2 to caps4, reserved
    return out;
}

}  // namespace

bool WriteArgbDds(const std::string& path, int width, int height, const std::vector<uint32_t>& argb) {
    if (width <= 0 || height <= 0 || argb.size() != size_t(width) * size_t(height)) return false;
    std::vector<uint8_t> out = Header(width, height);
    for (uint32_t pixel : argb) Put32(out, pixel);  // little endian: B, G, R, A in the file
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "resgen: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace resgen

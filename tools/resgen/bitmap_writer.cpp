#include "tools/resgen/bitmap_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace resgen {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// File header (14 bytes) and BITMAPINFOHEADER (40 bytes).
std::vector<uint8_t> Headers(int width, int height, int bits, uint32_t paletteBytes, uint32_t pixelBytes) {
    std::vector<uint8_t> out;
    const uint32_t offset = 14 + 40 + paletteBytes;
    Put16(out, 0x4D42);
    Put32(out, offset + pixelBytes);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(height));
    Put16(out, 1);
    Put16(out, uint16_t(bits));
    Put32(out, 0);  // BI_RGB: uncompressed
    Put32(out, pixelBytes);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, bits == 8 ? 256 : 0);
    Put32(out, 0);
    return out;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "resgen: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

bool WriteGreyBitmap(const std::string& path, int width, int height, const std::vector<uint8_t>& rows) {
    const int stride = (width + 3) / 4 * 4;
    std::vector<uint8_t> out = Headers(width, height, 8, 1024, uint32_t(stride * height));
    for (int i = 0; i < 256; ++i) Put32(out, uint32_t(i) * 0x010101u);
    for (int r = 0; r < height; ++r) {
        out.insert(out.end(), rows.begin() + r * width, rows.begin() + (r + 1) * width);
        out.resize(out.size() + (stride - width), 0);
    }
    return WriteFile(path, out);
}

bool WriteColourBitmap(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    const int stride = (width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> out = Headers(width, height, 24, 0, uint32_t(stride * height));
    for (int r = height - 1; r >= 0; --r) {
        for (int c = 0; c < width; ++c) {
            const uint8_t* p = &rgb[(size_t(r) * width + c) * 3];
            out.insert(out.end(), {p[2], p[1], p[0]});  // stored blue, green, red
        }
        out.resize(out.size() + (stride - width * 3), 0);
    }
    return WriteFile(path, out);
}

}  // namespace resgen

// Writes the small valid files that start each fuzzer's corpus, built with the decoder
// tests' own file helpers.
#include "../tests/platform/d3dx/flat_jpeg.h"
#include "../tests/platform/d3dx/image_files.h"

#include <cstdio>
#include <string>

using namespace d3dx_test;

namespace {

void Write(const std::string& path, const Bytes& bytes) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

Bytes Repeat(size_t count, uint8_t value) { return Bytes(count, value); }

Bytes Ramp(size_t count) {
    Bytes out(count);
    for (size_t i = 0; i < count; ++i) out[i] = static_cast<uint8_t>(i * 37);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: seed_writer TEXTURE_DIR HEIGHTMAP_DIR\n");
        return 1;
    }
    const std::string texture = argv[1], heightmap = argv[2];
    const std::vector<uint32_t> grey = {0x000000, 0x404040, 0x808080, 0xffffff};
    Write(texture + "/bmp8.bmp", BmpFile(5, 3, 8, 0, grey, Ramp(8 * 3)));
    Write(texture + "/bmp8_rle.bmp", BmpFile(6, 4, 8, 1, grey, {3, 1, 0, 3, 2, 3, 0, 0, 0, 2, 1, 1, 6, 2, 0, 0, 0, 1}));
    Write(texture + "/bmp24_topdown.bmp", BmpFile(3, -2, 24, 0, {}, Ramp(12 * 2)));
    Write(texture + "/bmp32.bmp", BmpFile(4, 4, 32, 0, {}, Ramp(64)));
    Bytes masks;
    for (uint32_t mask : {0x0000f800u, 0x000007e0u, 0x0000001fu}) PutU32(masks, mask);
    Bytes bitfields = BmpFile(2, 2, 32, 3, {}, Ramp(16));
    bitfields.insert(bitfields.begin() + 54, masks.begin(), masks.end());
    bitfields[10] += 12;  // the pixels now start after the masks
    Write(texture + "/bmp32_bitfields.bmp", bitfields);
    Write(texture + "/dds_argb.dds", DdsFile(D3DFMT_A8R8G8B8, 4, 2, 3, Ramp(32 + 8 + 4)));
    Write(texture + "/dds_xrgb.dds", DdsFile(D3DFMT_X8R8G8B8, 3, 5, 1, Ramp(60)));
    Write(texture + "/dds_dxt1.dds", DdsFile(D3DFMT_DXT1, 8, 8, 4, Ramp(32 + 8 + 8 + 8)));
    Write(texture + "/dds_dxt3.dds", DdsFile(D3DFMT_DXT3, 6, 4, 1, Ramp(32)));
    Write(texture + "/dds_dxt5.dds", DdsFile(D3DFMT_DXT5, 4, 4, 1, Ramp(16)));
    Write(texture + "/flat.jpg", kFlatJpeg);

    Write(heightmap + "/square.bmp", BmpFile(4, 4, 8, 0, grey, Ramp(16)));
    Write(heightmap + "/odd_topdown.bmp", BmpFile(3, -5, 8, 0, {}, Ramp(20)));
    Write(heightmap + "/short.bmp", BmpFile(9, 7, 8, 0, {}, Repeat(20, 200)));
    return 0;
}

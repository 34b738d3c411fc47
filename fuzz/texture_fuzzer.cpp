// Feeds arbitrary bytes through the texture file path of D3DXCreateTextureFromFile: each
// decoder on its own, then the format detection and the mip chain the upload receives. The
// upload itself copies every level row by row, so the checks below make sure each level is
// exactly as large as that copy reads.
#include "d3dx/bmp_decoder.h"
#include "d3dx/dds_decoder.h"
#include "d3dx/dxt_codec.h"
#include "d3dx/jpeg_decoder.h"
#include "d3dx/mip_chain.h"
#include "d3dx/texture_loader.h"

#include <cstdlib>
#include <cstring>

using namespace platform::d3dx;

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// What UploadTexture reads of a level, and what its A8R8G8B8 fallback decodes.
void CheckLevel(D3DFORMAT format, const ImageLevel& level) {
    Require(level.width >= 1 && level.height >= 1);
    Require(level.bytes.size() == LevelByteSize(format, level.width, level.height));
    if (IsBlockCompressed(format)) {
        std::vector<uint8_t> texels = DecodeDxtLevel(format, level.width, level.height, level.bytes);
        Require(texels.size() == static_cast<size_t>(level.width) * level.height * 4);
    }
}

void CheckDecoded(const std::optional<Image>& image) {
    if (!image) return;
    Require(!image->levels.empty());
    for (const ImageLevel& level : image->levels) {
        Require(level.width <= kMaxImageSide && level.height <= kMaxImageSide);
        CheckLevel(image->format, level);
    }
}

void CheckTextureChain(const Image& chain) {
    const ImageLevel& top = chain.levels.front();
    Require(chain.levels.size() == FullMipCount(top.width, top.height));
    uint32_t width = top.width, height = top.height;
    for (const ImageLevel& level : chain.levels) {
        Require(level.width == width && level.height == height);
        CheckLevel(chain.format, level);
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Decoded within the limits of a device that takes 1024 x 1024 at most, as the loader
    // does: a legal file (RLE8 in particular) may declare 16384 x 16384 texels in a few bytes.
    constexpr TextureLimits kDevice{1024, 1024};
    Bytes file(data, size);
    CheckDecoded(DecodeBmp(file, kDevice));
    CheckDecoded(DecodeDds(file));
    CheckDecoded(DecodeJpeg(file));
    std::optional<Image> image = DecodeImageFile(file, kDevice);
    if (!image) return 0;
    const ImageLevel& top = image->levels.front();
    Require(top.width <= kDevice.maxWidth && top.height <= kDevice.maxHeight);
    CheckTextureChain(CompleteForTexture(std::move(*image)));
    return 0;
}

#include "d3dx/jpeg_decoder.h"

#include <climits>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#include <stb/stb_image.h>

namespace platform::d3dx {
namespace {

constexpr uint8_t kMarker = 0xff;
constexpr uint8_t kStartOfImage = 0xd8;
constexpr uint8_t kEndOfImage = 0xd9;
constexpr uint8_t kStartOfScan = 0xda;

// Walks the marker segments up to the first scan, then looks for the end-of-image marker.
bool IsComplete(Bytes file) {
    if (file.size() < 4 || file[0] != kMarker || file[1] != kStartOfImage) return false;
    size_t at = 2;
    while (true) {
        if (at + 4 > file.size() || file[at] != kMarker) return false;
        uint8_t marker = file[at + 1];
        if (marker == kMarker) {  // fill byte
            ++at;
            continue;
        }
        size_t length = (static_cast<size_t>(file[at + 2]) << 8) | file[at + 3];
        if (length < 2 || at + 2 + length > file.size()) return false;
        at += 2 + length;
        if (marker == kStartOfScan) break;
    }
    for (size_t end = file.size(); end >= at + 2; --end) {
        if (file[end - 2] == kMarker && file[end - 1] == kEndOfImage) return true;
    }
    return false;
}

}  // namespace

std::optional<Image> DecodeJpeg(Bytes file) {
    if (!IsComplete(file) || file.size() > INT_MAX) return std::nullopt;
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(file.data(), static_cast<int>(file.size()), &width, &height, &channels)) {
        return std::nullopt;
    }
    if (width <= 0 || height <= 0 || width > static_cast<int>(kMaxImageSide) || height > static_cast<int>(kMaxImageSide)) {
        return std::nullopt;
    }
    stbi_uc* rgba = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width, &height, &channels, 4);
    if (rgba == nullptr) return std::nullopt;
    Image image;
    image.format = D3DFMT_X8R8G8B8;
    ImageLevel level{static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                     std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)};
    for (size_t i = 0; i < level.bytes.size(); i += 4) {
        level.bytes[i + 0] = rgba[i + 2];
        level.bytes[i + 1] = rgba[i + 1];
        level.bytes[i + 2] = rgba[i + 0];
        level.bytes[i + 3] = 0xff;
    }
    stbi_image_free(rgba);
    image.levels.push_back(std::move(level));
    return image;
}

}  // namespace platform::d3dx

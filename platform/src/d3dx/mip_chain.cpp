#include "d3dx/mip_chain.h"

#include "d3dx/dxt_codec.h"

#include <algorithm>
#include <cmath>

namespace platform::d3dx {
namespace {

bool IsPowerOfTwo(uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

ImageLevel ExpandLevel(D3DFORMAT format, const ImageLevel& level) {
    return {level.width, level.height, DecodeDxtLevel(format, level.width, level.height, level.bytes)};
}

}  // namespace

uint32_t NextPowerOfTwo(uint32_t value) {
    uint32_t result = 1;
    while (result < value) result <<= 1;
    return result;
}

std::vector<uint8_t> ResampleTexels(const ImageLevel& source, uint32_t width, uint32_t height) {
    std::vector<uint8_t> out(static_cast<size_t>(width) * height * 4);
    auto at = [&](uint32_t x, uint32_t y, int channel) {
        return static_cast<float>(source.bytes[(static_cast<size_t>(y) * source.width + x) * 4 + channel]);
    };
    float scaleX = static_cast<float>(source.width) / width, scaleY = static_cast<float>(source.height) / height;
    for (uint32_t y = 0; y < height; ++y) {
        float sy = std::clamp((y + 0.5f) * scaleY - 0.5f, 0.0f, source.height - 1.0f);
        uint32_t y0 = static_cast<uint32_t>(sy), y1 = std::min(y0 + 1, source.height - 1);
        float fy = sy - y0;
        for (uint32_t x = 0; x < width; ++x) {
            float sx = std::clamp((x + 0.5f) * scaleX - 0.5f, 0.0f, source.width - 1.0f);
            uint32_t x0 = static_cast<uint32_t>(sx), x1 = std::min(x0 + 1, source.width - 1);
            float fx = sx - x0;
            for (int c = 0; c < 4; ++c) {
                float top = at(x0, y0, c) + (at(x1, y0, c) - at(x0, y0, c)) * fx;
                float bottom = at(x0, y1, c) + (at(x1, y1, c) - at(x0, y1, c)) * fx;
                out[(static_cast<size_t>(y) * width + x) * 4 + c] =
                    static_cast<uint8_t>(std::lround(top + (bottom - top) * fy));
            }
        }
    }
    return out;
}

ImageLevel BoxDownsample(const ImageLevel& source) {
    ImageLevel out{std::max(1u, source.width / 2), std::max(1u, source.height / 2), {}};
    out.bytes.resize(static_cast<size_t>(out.width) * out.height * 4);
    uint32_t stepX = source.width > 1 ? 2 : 1, stepY = source.height > 1 ? 2 : 1;
    for (uint32_t y = 0; y < out.height; ++y) {
        for (uint32_t x = 0; x < out.width; ++x) {
            for (int c = 0; c < 4; ++c) {
                uint32_t sum = 0;
                for (uint32_t dy = 0; dy < stepY; ++dy) {
                    for (uint32_t dx = 0; dx < stepX; ++dx) {
                        size_t index = (static_cast<size_t>(y * stepY + dy) * source.width + x * stepX + dx) * 4 + c;
                        sum += source.bytes[index];
                    }
                }
                uint32_t count = stepX * stepY;
                out.bytes[(static_cast<size_t>(y) * out.width + x) * 4 + c] = static_cast<uint8_t>((sum + count / 2) / count);
            }
        }
    }
    return out;
}

Image FitWithin(Image image, TextureLimits limits) {
    auto fits = [&](const ImageLevel& level) { return level.width <= limits.maxWidth && level.height <= limits.maxHeight; };
    if (fits(image.levels.front())) return image;
    auto firstFitting = std::find_if(image.levels.begin(), image.levels.end(), fits);
    if (firstFitting != image.levels.end()) {
        image.levels.erase(image.levels.begin(), firstFitting);
        return image;
    }
    ImageLevel top = IsBlockCompressed(image.format) ? ExpandLevel(image.format, image.levels.front())
                                                     : std::move(image.levels.front());
    if (IsBlockCompressed(image.format)) image.format = D3DFMT_A8R8G8B8;
    const uint32_t width = std::min(top.width, limits.maxWidth), height = std::min(top.height, limits.maxHeight);
    image.levels = {ImageLevel{width, height, ResampleTexels(top, width, height)}};
    return image;
}

Image CompleteForTexture(Image image) {
    const ImageLevel& top = image.levels.front();
    if (!IsPowerOfTwo(top.width) || !IsPowerOfTwo(top.height)) {
        ImageLevel base = IsBlockCompressed(image.format) ? ExpandLevel(image.format, top) : top;
        if (IsBlockCompressed(image.format)) image.format = D3DFMT_A8R8G8B8;
        uint32_t width = NextPowerOfTwo(base.width), height = NextPowerOfTwo(base.height);
        image.levels = {ImageLevel{width, height, ResampleTexels(base, width, height)}};
    }
    uint32_t wanted = FullMipCount(image.levels.front().width, image.levels.front().height);
    if (image.levels.size() >= wanted) {
        image.levels.resize(wanted);
        return image;
    }
    bool compressed = IsBlockCompressed(image.format);
    ImageLevel current = compressed ? ExpandLevel(image.format, image.levels.back()) : image.levels.back();
    while (image.levels.size() < wanted) {
        current = BoxDownsample(current);
        if (compressed) {
            image.levels.push_back({current.width, current.height,
                                    EncodeDxtLevel(image.format, current.width, current.height, current.bytes)});
        } else {
            image.levels.push_back(current);
        }
    }
    return image;
}

}  // namespace platform::d3dx

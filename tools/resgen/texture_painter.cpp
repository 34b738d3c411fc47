#include "tools/resgen/texture_painter.h"

#include <algorithm>
#include <cmath>

#include "tools/resgen/noise.h"

namespace resgen {
namespace {

uint8_t Channel(float value) { return static_cast<uint8_t>(std::clamp(value, 0.0f, 255.0f)); }

template <typename Put>
void ForEachPixel(int width, int height, uint32_t seed, const Shader& shade, Put put) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float grain = (Hash(uint32_t(x), uint32_t(y), seed) & 0xFF) / 255.0f - 0.5f;
            put(size_t(y) * width + x, shade((x + 0.5f) / width, (y + 0.5f) / height, grain));
        }
    }
}

}  // namespace

std::vector<uint8_t> PaintRgb(int width, int height, uint32_t seed, const Shader& shade) {
    std::vector<uint8_t> rgb(size_t(width) * height * 3);
    ForEachPixel(width, height, seed, shade, [&](size_t i, Colour c) {
        rgb[i * 3] = Channel(c.r);
        rgb[i * 3 + 1] = Channel(c.g);
        rgb[i * 3 + 2] = Channel(c.b);
    });
    return rgb;
}

std::vector<uint32_t> PaintArgb(int width, int height, uint32_t seed, const Shader& shade) {
    std::vector<uint32_t> argb(size_t(width) * height);
    ForEachPixel(width, height, seed, shade, [&](size_t i, Colour c) {
        argb[i] = uint32_t(Channel(c.a)) << 24 | uint32_t(Channel(c.r)) << 16 | uint32_t(Channel(c.g)) << 8 | Channel(c.b);
    });
    return argb;
}

float Ring(float u, float v, float cu, float cv, float radius, float width, float soft) {
    const float d = std::fabs(std::hypot(u - cu, v - cv) - radius);
    return std::clamp((width - d) / soft, 0.0f, 1.0f);
}

}  // namespace resgen

#include "tools/resgen/water_texture.h"

#include <algorithm>
#include <cmath>

#include "tools/resgen/noise.h"

namespace resgen {
namespace {

float Mix(float a, float b, float t) { return a + (b - a) * t; }

// Bright where the noise crosses its middle: thin wavering lines like light focused by waves.
float Caustic(const LatticeNoise& noise, float x, float y, float sharpness) {
    const float line = 1 - std::fabs(Fractal(noise, x, y, 3) * 2 - 1);
    return std::pow(line, sharpness);
}

}  // namespace

std::vector<uint8_t> MakeWaterTexture(int size) {
    // Periodic lattices of 4, 8 and 16 cells across the texture, so every octave wraps.
    const LatticeNoise depth(201, 4), broadCaustics(203, 8), fineCaustics(207, 16);
    std::vector<uint8_t> out(size_t(size) * size * 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = float(x) / size, v = float(y) / size;
            const float shade = Fractal(depth, u * 4, v * 4, 4);
            const float light = Caustic(broadCaustics, u * 8, v * 8, 6) * 0.6f +
                                Caustic(fineCaustics, u * 16, v * 16, 8) * 0.4f;
            const float grain = (Hash(uint32_t(x), uint32_t(y), 211) & 0xFF) / 255.0f - 0.5f;

            const float red = Mix(18, 40, shade) + light * 90 + grain * 4;
            const float green = Mix(70, 112, shade) + light * 110 + grain * 5;
            const float blue = Mix(105, 150, shade) + light * 95 + grain * 5;
            uint8_t* p = &out[(size_t(y) * size + x) * 3];
            p[0] = uint8_t(std::clamp(red, 0.0f, 255.0f));
            p[1] = uint8_t(std::clamp(green, 0.0f, 255.0f));
            p[2] = uint8_t(std::clamp(blue, 0.0f, 255.0f));
        }
    }
    return out;
}

}  // namespace resgen

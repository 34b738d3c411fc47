#include "tools/resgen/snow_textures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/resgen/noise.h"

namespace resgen {
namespace {

float SmoothStep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// Opacity at distance r (1 at the rim) and angle theta from the centre of the flake.
float FlakeAlpha(float r, float theta) {
    const float core = std::exp(-(r * r) / (2 * 0.25f * 0.25f));
    const float arms = std::pow(std::fabs(std::cos(3 * theta)), 4.0f) * (1 - SmoothStep(0.15f, 0.8f, r));
    const float fade = 1 - SmoothStep(0.7f, 0.98f, r);
    return std::clamp((core + 0.3f * arms) * fade, 0.0f, 1.0f);
}

}  // namespace

std::vector<uint32_t> MakeSnowflake(int size) {
    std::vector<uint32_t> out(size_t(size) * size);
    const float centre = (size - 1) * 0.5f;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float dx = (x - centre) / (size * 0.5f), dy = (y - centre) / (size * 0.5f);
            const float r = std::sqrt(dx * dx + dy * dy);
            const float alpha = FlakeAlpha(r, std::atan2(dy, dx) + std::numbers::pi_v<float> / 12);
            out[size_t(y) * size + x] = uint32_t(std::lround(alpha * 255)) << 24 | 0xFFFFFF;
        }
    }
    return out;
}

std::vector<uint8_t> MakeSnowGround(int size) {
    // Periodic lattices (4 and 16 cells across), so every octave wraps at the texture's edge.
    const LatticeNoise drifts(201, 4), crust(203, 16);
    std::vector<uint8_t> out(size_t(size) * size * 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = float(x) * 4 / size, v = float(y) * 4 / size;
            const float drift = Fractal(drifts, u, v, 4);
            const float grain = Fractal(crust, u * 4, v * 4, 2);
            const uint32_t hash = Hash(uint32_t(x), uint32_t(y), 211);
            const float sparkle = (hash & 0xFF) > 250 ? 8.0f : 0.0f;
            const float shade = (drift - 0.5f) * 22 + (grain - 0.5f) * 8 + float(hash >> 28) * 0.4f;
            uint8_t* p = &out[(size_t(y) * size + x) * 3];
            p[0] = uint8_t(std::clamp(236 + shade + sparkle, 0.0f, 255.0f));
            p[1] = uint8_t(std::clamp(240 + shade + sparkle, 0.0f, 255.0f));
            p[2] = uint8_t(std::clamp(248 + shade * 0.6f + sparkle, 0.0f, 255.0f));
        }
    }
    return out;
}

}  // namespace resgen

#include "tools/resgen/landscapes.h"

#include <algorithm>
#include <cmath>

#include "tools/resgen/noise.h"

namespace resgen {
namespace {

float SmoothStep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

float Mix(float a, float b, float t) { return a + (b - a) * t; }

// Pulls heights inside a band towards its middle, leaving a flat shelf with soft edges.
float Plateau(float h, float centre, float halfWidth) {
    const float distance = std::fabs(h - centre);
    const float pull = 1 - SmoothStep(halfWidth * 0.4f, halfWidth, distance);
    return Mix(h, centre, pull * 0.85f);
}

}  // namespace

std::vector<uint8_t> MakeHeightmap(int size) {
    const LatticeNoise hills(11), ridges(23), mountainMask(37), detail(41);
    std::vector<float> heights(size_t(size) * size);
    for (int r = 0; r < size; ++r) {
        for (int c = 0; c < size; ++c) {
            const float u = float(c) / size, v = float(r) / size;
            const float rolling = Fractal(hills, u * 5, v * 5, 6);
            const float ridge = Ridged(ridges, u * 3.5f + 7, v * 3.5f + 3, 6);
            const float mountains = SmoothStep(0.25f, 0.6f, Fractal(mountainMask, u * 2 + 1, v * 2, 3));
            const float rise = (u + v) * 0.5f;  // higher towards the far corner
            float h = rolling * 0.6f + ridge * mountains * (0.45f + 0.3f * rise) + rise * 0.3f;
            h += (Fractal(detail, u * 24, v * 24, 3) - 0.5f) * 0.04f;
            heights[size_t(r) * size + c] = h;
        }
    }
    const auto [low, high] = std::minmax_element(heights.begin(), heights.end());
    const float lowest = *low, range = *high - *low;
    std::vector<uint8_t> out(heights.size());
    for (size_t i = 0; i < heights.size(); ++i) {
        float h = std::pow((heights[i] - lowest) / range, 0.8f);
        h = std::max(h, 0.12f + (h - 0.12f) * 0.15f);  // valley floors flatten out
        h = Plateau(h, 0.42f, 0.05f);
        h = Plateau(h, 0.63f, 0.04f);
        out[i] = uint8_t(std::lround(std::clamp(h, 0.0f, 1.0f) * 250 + 2));
    }
    return out;
}

std::vector<uint8_t> MakeGroundTexture(int size) {
    // Periodic lattices: 8 and 16 cells across the texture, so every octave wraps at its edge.
    const LatticeNoise soilPatches(101, 8), rockPatches(103, 8), tone(107, 16), clumps(109, 16);
    std::vector<uint8_t> out(size_t(size) * size * 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = float(x) * 8 / size, v = float(y) * 8 / size;
            const float soil = SmoothStep(0.6f, 0.7f, Fractal(soilPatches, u, v, 4));
            const float rock = SmoothStep(0.68f, 0.76f, Fractal(rockPatches, u, v, 5));
            const float shade = Fractal(tone, u * 2, v * 2, 4);
            const float clump = Fractal(clumps, u * 2, v * 2, 2, 0.7f);
            const float grain = (Hash(uint32_t(x), uint32_t(y), 113) & 0xFF) / 255.0f;
            const float blade = grain > 0.82f ? 0.25f : grain < 0.1f ? -0.2f : 0.0f;

            float red = Mix(58, 92, shade) * (1 + blade), green = Mix(92, 138, clump) * (1 + blade),
                  blue = Mix(30, 52, shade) * (1 + blade);
            const float earth = 0.85f + grain * 0.3f;
            red = Mix(red, 112 * earth, soil);
            green = Mix(green, 86 * earth, soil);
            blue = Mix(blue, 58 * earth, soil);
            const float stone = 0.8f + shade * 0.3f + (grain - 0.5f) * 0.2f;
            red = Mix(red, 128 * stone, rock);
            green = Mix(green, 124 * stone, rock);
            blue = Mix(blue, 116 * stone, rock);

            uint8_t* p = &out[(size_t(y) * size + x) * 3];
            p[0] = uint8_t(std::clamp(red, 0.0f, 255.0f));
            p[1] = uint8_t(std::clamp(green, 0.0f, 255.0f));
            p[2] = uint8_t(std::clamp(blue, 0.0f, 255.0f));
        }
    }
    return out;
}

}  // namespace resgen

// Painting generated textures: a colour per pixel from a function of the texture coordinates
// and a per-pixel grain, as the r, g, b bytes the bitmap writer takes or the ARGB values the
// DDS writer takes.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace resgen {

struct Colour {
    float r = 0, g = 0, b = 0;  // 0 to 255
    float a = 255;
};

inline Colour Mix(Colour x, Colour y, float t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}
inline Colour Grained(Colour c, float grain, float amount) {
    return {c.r + grain * amount, c.g + grain * amount, c.b + grain * amount, c.a};
}

// u, v in [0, 1) at pixel centres, v down the picture; grain in [-0.5, 0.5], fixed per pixel.
using Shader = std::function<Colour(float u, float v, float grain)>;

// r, g, b per pixel, top row first.
std::vector<uint8_t> PaintRgb(int width, int height, uint32_t seed, const Shader& shade);
// 0xAARRGGBB per pixel, top row first.
std::vector<uint32_t> PaintArgb(int width, int height, uint32_t seed, const Shader& shade);

// 1 inside a ring of the given radius and width around (cu, cv), fading over `soft`.
float Ring(float u, float v, float cu, float cv, float radius, float width, float soft);

}  // namespace resgen

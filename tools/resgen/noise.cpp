#include "tools/resgen/noise.h"

#include <cmath>

namespace resgen {

uint32_t Hash(uint32_t a, uint32_t b, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u ^ a * 0x85EBCA77u ^ b * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

float LatticeNoise::Lattice(int x, int y) const {
    if (period_ > 0) {
        x = ((x % period_) + period_) % period_;
        y = ((y % period_) + period_) % period_;
    }
    return (Hash(uint32_t(x), uint32_t(y), seed_) & 0xFFFFFF) / float(0xFFFFFF);
}

float LatticeNoise::At(float x, float y) const {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    auto smooth = [](float t) { return t * t * t * (t * (t * 6 - 15) + 10); };
    const float tx = smooth(x - fx), ty = smooth(y - fy);
    const float top = Lattice(ix, iy) + (Lattice(ix + 1, iy) - Lattice(ix, iy)) * tx;
    const float bottom = Lattice(ix, iy + 1) + (Lattice(ix + 1, iy + 1) - Lattice(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

float Fractal(const LatticeNoise& noise, float x, float y, int octaves, float gain) {
    float sum = 0, amplitude = 1, total = 0, scale = 1;
    for (int i = 0; i < octaves; ++i) {
        sum += noise.At(x * scale, y * scale) * amplitude;
        total += amplitude;
        amplitude *= gain;
        scale *= 2;
    }
    return sum / total;
}

float Ridged(const LatticeNoise& noise, float x, float y, int octaves) {
    float sum = 0, amplitude = 1, total = 0, scale = 1, weight = 1;
    for (int i = 0; i < octaves; ++i) {
        float ridge = 1 - std::fabs(noise.At(x * scale, y * scale) * 2 - 1);
        ridge *= ridge * weight;
        weight = std::fmin(1.0f, ridge * 2);
        sum += ridge * amplitude;
        total += amplitude;
        amplitude *= 0.5f;
        scale *= 2;
    }
    return sum / total;
}

}  // namespace resgen

#include "tools/resgen/mouse_textures.h"

#include <algorithm>
#include <cmath>

#include "tools/resgen/noise.h"
#include "tools/resgen/texture_painter.h"

namespace resgen {

// The shell is mapped with u across (right to left) and v from the back to the nose.
std::vector<uint8_t> MakeShellTexture(int size) {
    const LatticeNoise mottle(301);
    return PaintRgb(size, size, 302, [&](float u, float v, float grain) {
        const float sheen = std::exp(-std::pow((u - 0.38f) / 0.12f, 2.0f)) * 0.5f;
        Colour c = Mix({38, 40, 45}, {70, 73, 80}, sheen + 0.15f * Fractal(mottle, u * 6, v * 6, 3));
        const float emblem = std::max(Ring(u, v, 0.5f, 0.22f, 0.035f, 0.006f, 0.004f),
                                      Ring(u, v, 0.5f, 0.22f, 0.0f, 0.012f, 0.004f));
        c = Mix(c, {160, 164, 172}, emblem * 0.8f);
        return Grained(c, grain, 6);
    });
}

std::vector<uint8_t> MakeButtonTexture(int size) {
    const LatticeNoise mottle(311);
    return PaintRgb(size, size, 312, [&](float u, float v, float grain) {
        const float edge = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
        const float rim = std::clamp(1.0f - edge / 0.04f, 0.0f, 1.0f);
        Colour c = Mix({92, 96, 105}, {122, 127, 138}, 0.3f * Fractal(mottle, u * 5, v * 5, 3) + 0.25f * (1 - v));
        c = Mix(c, {30, 31, 35}, rim * 0.7f);
        return Grained(c, grain, 5);
    });
}

std::vector<uint8_t> MakeRubberTexture(int size) {
    return PaintRgb(size, size, 321, [&](float u, float v, float grain) {
        const float ridge = 0.5f + 0.5f * std::cos(u * 2 * 3.14159265f * 4);
        const Colour c = Mix({18, 18, 20}, {46, 47, 50}, ridge);
        return Grained(c, grain, 8);
    });
}

std::vector<uint8_t> MakePadTexture(int size) {
    const LatticeNoise dye(331);
    return PaintRgb(size, size, 332, [&](float u, float v, float grain) {
        const float weave = 0.5f + 0.25f * std::sin(u * size * 1.6f) * std::sin(v * size * 1.6f);
        Colour c = Mix({22, 46, 92}, {40, 74, 140}, 0.6f * Fractal(dye, u * 4, v * 4, 4) + 0.2f * weave);
        // A stitched border just inside the edge.
        const float edge = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
        const float stitch = std::clamp(1.0f - std::fabs(edge - 0.035f) / 0.006f, 0.0f, 1.0f) *
                             (std::fmod((u + v) * size * 0.25f, 1.0f) < 0.6f ? 1.0f : 0.3f);
        c = Mix(c, {150, 170, 210}, stitch);
        // A large, faint emblem in the far right corner.
        const float emblem = std::max(Ring(u, v, 0.78f, 0.22f, 0.1f, 0.014f, 0.006f),
                                      Ring(u, v, 0.78f, 0.22f, 0.0f, 0.035f, 0.006f));
        c = Mix(c, {110, 140, 200}, emblem * 0.6f);
        return Grained(c, grain, 10);
    });
}

}  // namespace resgen

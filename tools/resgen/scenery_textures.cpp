#include "tools/resgen/scenery_textures.h"

#include <algorithm>
#include <cmath>

#include "tools/resgen/noise.h"
#include "tools/resgen/texture_painter.h"

namespace resgen {
namespace {

// 1 inside the rectangle (u0, v0) - (u1, v1), fading over `soft`.
float Box(float u, float v, float u0, float v0, float u1, float v1, float soft) {
    const float inside = std::min(std::min(u - u0, u1 - u), std::min(v - v0, v1 - v));
    return std::clamp(inside / soft + 0.5f, 0.0f, 1.0f);
}

// Dark seams every 1/count across u (vertical lines) with their width as a share of a cell.
float Seams(float u, float count, float width) {
    const float cell = u * count - std::floor(u * count);
    return std::min(cell, 1 - cell) < width ? 1.0f : 0.0f;
}

}  // namespace

std::vector<uint8_t> MakeHouseWall(int size, bool front) {
    const LatticeNoise stains(421);
    return PaintRgb(size, size, 422, [&](float u, float v, float grain) {
        Colour c = Mix({226, 219, 200}, {196, 186, 164}, Fractal(stains, u * 6, v * 6, 4));
        // Timber beams along the top, the bottom and the sides.
        const float timber = std::max(std::max(Box(u, v, 0, 0, 1, 0.06f, 0.01f), Box(u, v, 0, 0.94f, 1, 1, 0.01f)),
                                      std::max(Box(u, v, 0, 0, 0.04f, 1, 0.01f), Box(u, v, 0.96f, 0, 1, 1, 0.01f)));
        c = Mix(c, {92, 62, 38}, timber);
        const float windows[2] = {0.22f, front ? 0.78f : 0.78f};
        for (float wu : windows) {
            const float frame = Box(u, v, wu - 0.11f, 0.26f, wu + 0.11f, 0.58f, 0.01f);
            const float glass = Box(u, v, wu - 0.08f, 0.29f, wu + 0.08f, 0.55f, 0.01f);
            const float bar = Box(u, v, wu - 0.008f, 0.29f, wu + 0.008f, 0.55f, 0.004f) +
                              Box(u, v, wu - 0.08f, 0.415f, wu + 0.08f, 0.425f, 0.004f);
            c = Mix(c, {90, 60, 36}, frame);
            c = Mix(c, Mix({52, 72, 96}, {140, 170, 200}, 1 - (v - 0.29f) / 0.26f), glass);
            c = Mix(c, {90, 60, 36}, std::min(bar, 1.0f) * glass);
        }
        if (!front && u > 0.4f && u < 0.6f) {
            c = Mix(c, {110, 74, 44}, Box(u, v, 0.45f, 0.3f, 0.55f, 0.5f, 0.01f));  // a small attic hatch
        }
        if (front) {
            const float door = Box(u, v, 0.41f, 0.52f, 0.59f, 0.95f, 0.01f);
            Colour wood = Mix({118, 78, 44}, {84, 54, 30}, Seams(u, 18, 0.08f));
            wood = Mix(wood, {200, 180, 90}, Ring(u, v, 0.56f, 0.74f, 0.0f, 0.01f, 0.005f));  // the handle
            c = Mix(c, wood, door);
        }
        return Grained(c, grain, 10);
    });
}

std::vector<uint8_t> MakeRoofTiles(int size) {
    const LatticeNoise age(431);
    return PaintRgb(size, size, 432, [&](float u, float v, float grain) {
        const float row = v * 10, course = std::floor(row);
        const float shift = std::fmod(course, 2.0f) * 0.5f;
        const float within = row - course;
        const float edge = Seams(u * 8 + shift, 1, 0.05f);
        Colour c = Mix({160, 70, 48}, {118, 46, 34}, Fractal(age, u * 5, v * 5, 3) * 0.7f + within * 0.3f);
        c = Mix(c, {70, 30, 22}, std::max(edge, within > 0.88f ? 1.0f : 0.0f));
        return Grained(c, grain, 14);
    });
}

std::vector<uint8_t> MakeStoneWall(int size) {
    const LatticeNoise stones(441), moss(443);
    return PaintRgb(size, size, 442, [&](float u, float v, float grain) {
        const float row = v * 6, course = std::floor(row);
        const float x = u * 5 + std::fmod(course, 2.0f) * 0.5f;
        const float mortar = std::max(Seams(x, 1, 0.05f), std::min(row - course, course + 1 - row) < 0.07f ? 1.0f : 0.0f);
        const float tone = Fractal(stones, std::floor(x) * 1.7f + course * 3.1f, course * 2.3f, 1);
        Colour c = Mix({150, 146, 136}, {102, 98, 92}, tone);
        c = Mix(c, {86, 104, 60}, std::clamp(Fractal(moss, u * 4, v * 4, 3) * 2 - 1.1f, 0.0f, 0.6f));
        c = Mix(c, {70, 66, 60}, mortar);
        return Grained(c, grain, 18);
    });
}

std::vector<uint8_t> MakePlanks(int size) {
    const LatticeNoise fibre(451);
    return PaintRgb(size, size, 452, [&](float u, float v, float grain) {
        const float plank = std::floor(u * 6);
        const float streaks = Fractal(fibre, u * 40, v * 3 + plank * 7, 3);
        Colour c = Mix({150, 108, 66}, {104, 70, 40}, streaks * 0.8f + 0.2f * std::fmod(plank * 0.37f, 1.0f));
        c = Mix(c, {56, 36, 20}, Seams(u, 6, 0.04f));
        return Grained(c, grain, 10);
    });
}

std::vector<uint8_t> MakeRock(int size) {
    const LatticeNoise base(461, 8), cracks(463, 16);
    return PaintRgb(size, size, 462, [&](float u, float v, float grain) {
        Colour c = Mix({132, 128, 120}, {92, 90, 86}, Fractal(base, u * 8, v * 8, 4));
        const float crack = 1 - std::fabs(Fractal(cracks, u * 16, v * 16, 2) * 2 - 1);
        c = Mix(c, {60, 58, 55}, std::pow(crack, 12.0f));
        return Grained(c, grain, 22);
    });
}

std::vector<uint8_t> MakeWheel(int size) {
    return PaintRgb(size, size, 471, [&](float u, float v, float grain) {
        const float du = u - 0.5f, dv = v - 0.5f, r = std::hypot(du, dv), angle = std::atan2(dv, du);
        Colour c = {70, 48, 28};  // the gaps between the spokes, in shadow
        const float spoke = std::fabs(std::sin(angle * 4)) < 0.12f / std::max(r, 0.05f) ? 1.0f : 0.0f;
        if (r < 0.12f || (r < 0.43f && spoke > 0)) c = {138, 96, 56};
        if (r >= 0.4f) c = Mix({132, 92, 54}, {60, 60, 62}, r > 0.47f ? 1.0f : 0.0f);  // rim, iron tyre
        return Grained(c, grain, 12);
    });
}

std::vector<uint8_t> MakeHay(int size) {
    const LatticeNoise straw(481, 16);
    return PaintRgb(size, size, 482, [&](float u, float v, float grain) {
        const float strands = Fractal(straw, u * 32, v * 6, 3);
        const Colour c = Mix({222, 190, 96}, {170, 128, 52}, strands);
        return Grained(c, grain, 30);
    });
}

std::vector<uint8_t> MakeBarrelStaves(int size) {
    const LatticeNoise fibre(491);
    return PaintRgb(size, size, 492, [&](float u, float v, float grain) {
        Colour c = Mix({142, 96, 54}, {100, 64, 34}, Fractal(fibre, u * 30, v * 2, 3));
        c = Mix(c, {50, 32, 18}, Seams(u, 12, 0.05f));
        const float band = std::min(std::fabs(v - 0.18f), std::fabs(v - 0.82f)) < 0.035f ? 1.0f : 0.0f;
        c = Mix(c, {64, 64, 68}, band);
        return Grained(c, grain, 10);
    });
}

}  // namespace resgen

#include "tools/resgen/skin_painter.h"

#include <algorithm>
#include <cmath>

#include "tools/resgen/noise.h"

namespace resgen {
namespace {

constexpr Rgb Unpainted{128, 128, 128};
constexpr Rgb White{240, 240, 236};
constexpr Rgb Black{16, 14, 14};
constexpr Rgb Lips{150, 60, 60};

Rgb Mix(Rgb a, Rgb b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    auto mix = [t](uint8_t x, uint8_t y) { return static_cast<uint8_t>(std::lround(x + (y - x) * t)); };
    return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

Rgb Scaled(Rgb c, float factor) {
    auto scale = [factor](uint8_t x) { return static_cast<uint8_t>(std::clamp(std::lround(x * factor), 0L, 255L)); };
    return {scale(c.r), scale(c.g), scale(c.b)};
}

// One pixel of a region: u across (0 at the left, 0.5 the front when wrapped), v down, and
// the same in pixels from the region's centre for round features.
struct Spot {
    float u, v;
    int x, y;                // skin pixel
    float width, height;     // the region's size in pixels
    const LatticeNoise* noise;
    uint32_t seed;

    float Grain() const { return (Hash(uint32_t(x), uint32_t(y), seed) & 0xFF) / 255.0f - 0.5f; }
    float Cloud(float frequency) const { return Fractal(*noise, x / frequency, y / frequency, 3); }
    // Distance in pixels from the feature at (fu, fv).
    float From(float fu, float fv) const { return std::hypot((u - fu) * width, (v - fv) * height); }
    bool Near(float fu, float fv, float radius) const { return From(fu, fv) <= radius; }
};

Rgb Grainy(Rgb c, const Spot& s, float amount) { return Scaled(c, 1 + amount * s.Grain()); }

Rgb Cloth(const Paint& p, const Spot& s) {
    const float weave = ((s.x + s.y) % 3 == 0) ? 0.94f : 1.0f;
    return Grainy(Scaled(p.base, weave * (0.9f + 0.2f * s.Cloud(6))), s, 0.06f);
}

Rgb Metal(const Paint& p, const Spot& s) {
    const float streak = 0.92f + 0.16f * s.Cloud(2) * (0.6f + 0.4f * std::sin(s.y * 0.9f));
    const float sheen = 1.05f - 0.15f * std::fabs(s.v - 0.35f);
    return Grainy(Scaled(p.base, streak * sheen), s, 0.04f);
}

Rgb Plates(const Paint& p, const Spot& s) {
    constexpr int Panel = 16;
    const int px = s.x % Panel, py = s.y % Panel;
    if (px == 0 || py == 0) return p.detail;
    const bool rivet = (px == 3 || px == Panel - 3) && (py == 3 || py == Panel - 3);
    if (rivet) return Mix(p.base, White, 0.7f);
    return Metal(p, s);
}

Rgb Eye(const Spot& s, float fu, float fv, float radius, Rgb iris) {
    const float d = s.From(fu, fv);
    if (d <= radius * 0.35f) return Black;
    if (d <= radius * 0.7f) return iris;
    return White;
}

// The face of a human head wrapped round an ellipsoid: eyes either side of the front column.
Rgb Face(const Paint& p, const Spot& s, bool longHair) {
    const float front = std::fabs(s.u - 0.5f);
    const bool hair = s.v < 0.3f + 0.04f * std::sin(s.u * 40) || (front > 0.2f && s.v < (longHair ? 1.0f : 0.62f));
    if (hair) return Scaled(p.accent, 0.85f + 0.3f * s.Cloud(3) + 0.15f * std::sin(s.x * 1.3f));
    const float eyeRadius = s.width * 0.035f;
    for (float side : {-1.0f, 1.0f}) {
        if (s.Near(0.5f + side * 0.065f, 0.5f, eyeRadius))
            return Eye(s, 0.5f + side * 0.065f, 0.5f, eyeRadius, p.detail);
        const float brow = s.v - 0.43f;
        if (std::fabs(s.u - (0.5f + side * 0.065f)) * s.width < eyeRadius * 1.3f && brow > 0 && brow < 0.025f)
            return Scaled(p.accent, 0.8f);
    }
    if (std::fabs(s.u - 0.5f) * s.width < s.width * 0.04f && std::fabs(s.v - 0.68f) < 0.02f) return Lips;
    const float shade = front < 0.015f && s.v > 0.52f && s.v < 0.62f ? 0.85f : 1.0f;  // the nose's shadow
    return Grainy(Scaled(p.base, shade), s, 0.03f);
}

Rgb Mask(const Paint& p, const Spot& s) {
    for (float side : {-1.0f, 1.0f}) {
        if (s.Near(0.5f + side * 0.065f, 0.5f, s.width * 0.03f)) return p.accent;
    }
    // Black bands round the eyes, down the nose and over the crown; red between them.
    const float front = std::fabs(s.u - 0.5f);
    const bool band = (std::fabs(s.v - 0.5f) < 0.05f && front < 0.12f) || (front < 0.02f && s.v < 0.62f) ||
                      (s.v < 0.25f && std::fmod(s.u * 12, 1.0f) < 0.4f) ||
                      (std::fabs(s.v - 0.72f) < 0.03f && front < 0.06f) ||
                      (front > 0.14f && front < 0.2f && s.v > 0.35f);
    return Grainy(band ? p.detail : p.base, s, 0.04f);
}

Rgb DinoFace(const Paint& p, const Spot& s) {
    for (float side : {-1.0f, 1.0f}) {
        if (s.Near(0.5f + side * 0.05f, 0.55f, s.width * 0.015f)) return Scaled(p.base, 0.4f);  // nostrils
    }
    const float smile = 0.72f + 12 * (s.u - 0.5f) * (s.u - 0.5f);
    if (std::fabs(s.u - 0.5f) < 0.18f && std::fabs(s.v - smile) < 0.012f) return Scaled(p.base, 0.35f);
    if (s.v > 0.62f && std::fabs(s.u - 0.5f) < 0.16f) return Grainy(p.detail, s, 0.03f);  // light chin
    return Grainy(Scaled(p.base, 0.95f + 0.1f * s.Cloud(4)), s, 0.05f);
}

Rgb Helmet(const Paint& p, const Spot& s) {
    const float front = std::fabs(s.u - 0.5f);
    if ((std::fabs(s.v - 0.45f) < 0.03f && front < 0.13f) || (front < 0.015f && s.v > 0.45f && s.v < 0.7f))
        return Black;
    if (front * s.width < 0.8f && s.v < 0.42f) return Scaled(p.base, 0.7f);  // the crest's seam
    return Metal(p, s);
}

Rgb Visor(const Paint& p, const Spot& s) {
    if (s.v > 0.28f && s.v < 0.5f && s.u > 0.12f && s.u < 0.88f)
        return std::fabs(s.v - 0.39f) < 0.04f ? p.accent : Scaled(p.detail, 1 + 0.3f * (0.5f - s.v));
    if (s.v > 0.62f && s.v < 0.85f && s.u > 0.3f && s.u < 0.7f) return (s.y % 3 == 0) ? Black : Scaled(p.base, 0.7f);
    return Plates(p, s);
}

Rgb MonoEye(const Paint& p, const Spot& s) {
    const float radius = std::min(s.width * 0.06f, s.height * 0.14f);
    const float d = s.From(0.5f, 0.45f);
    if (d <= radius * 0.45f) return Mix(p.accent, White, 0.5f);
    if (d <= radius) return p.accent;
    if (d <= radius * 1.35f) return Black;
    return Plates(p, s);
}

Rgb PatternColour(const Paint& p, const Spot& s) {
    switch (p.pattern) {
        case Pattern::Plain: return Grainy(p.base, s, 0.05f);
        case Pattern::Cloth: return Cloth(p, s);
        case Pattern::Metal: return Metal(p, s);
        case Pattern::Plates: return Plates(p, s);
        case Pattern::Stripes: return Cloth({p.pattern, int(s.v * 6) % 2 ? p.detail : p.base}, s);
        case Pattern::Checks: {
            const bool a = (s.x / 8) % 2 != 0, b = (s.y / 8) % 2 != 0;
            const Rgb c = a && b ? Scaled(p.detail, 0.8f) : a || b ? p.detail : p.base;
            return Cloth({p.pattern, (s.x % 8 == 4 || s.y % 8 == 4) ? p.accent : c}, s);
        }
        case Pattern::Scales: {
            const int row = s.y / 4, shift = (row % 2) * 3;
            const float across = float((s.x + shift) % 6) - 2.5f, down = float(s.y % 4) - 3.5f;
            const float rim = std::hypot(across, down * 1.2f);
            return Grainy(Mix(p.base, p.detail, (rim - 2.5f) / 3), s, 0.05f);
        }
        case Pattern::Glow: return Mix(p.base, White, 0.25f + 0.25f * (1 - std::fabs(std::sin(s.u * 6.2832f * 2))));
        case Pattern::Emblem: {
            const bool cross = (std::fabs(s.u - 0.5f) < 0.04f && s.v > 0.2f && s.v < 0.8f) ||
                               (std::fabs(s.v - 0.42f) < 0.06f && std::fabs(s.u - 0.5f) < 0.12f);
            return cross ? Grainy(p.detail, s, 0.04f) : Cloth(p, s);
        }
        case Pattern::Belly: {
            const float front = std::fabs(s.u - 0.5f) / 0.2f, height = std::fabs(s.v - 0.55f) / 0.45f;
            return front * front + height * height < 1 ? Grainy(p.detail, s, 0.04f) : Grainy(p.base, s, 0.06f);
        }
        case Pattern::Face: return Face(p, s, false);
        case Pattern::LongHair: return Face(p, s, true);
        case Pattern::Mask: return Mask(p, s);
        case Pattern::DinoFace: return DinoFace(p, s);
        case Pattern::Eyeball: {
            if (s.Near(0.5f, 0.42f, s.width * 0.05f)) return s.Near(0.47f, 0.38f, s.width * 0.015f) ? White : p.detail;
            return Grainy(White, s, 0.02f);
        }
        case Pattern::Helmet: return Helmet(p, s);
        case Pattern::Visor: return Visor(p, s);
        case Pattern::MonoEye: return MonoEye(p, s);
    }
    return p.base;
}

}  // namespace

SkinRect Cells(int column, int row, int columns, int rows) {
    return {column * SkinCell, row * SkinCell, columns * SkinCell, rows * SkinCell};
}

std::vector<uint8_t> PaintSkin(const std::vector<SkinRegion>& regions, uint32_t seed) {
    std::vector<uint8_t> rgb(size_t(SkinWidth) * SkinHeight * 3);
    auto put = [&rgb](int x, int y, Rgb c) {
        uint8_t* p = &rgb[(size_t(y) * SkinWidth + x) * 3];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    };
    for (int y = 0; y < SkinPaintedHeight; ++y)
        for (int x = 0; x < SkinWidth; ++x) put(x, y, Unpainted);

    const LatticeNoise noise(seed);
    for (const SkinRegion& region : regions) {
        const SkinRect& r = region.rect;
        for (int y = r.y; y < std::min(r.y + r.height, SkinPaintedHeight); ++y) {
            for (int x = r.x; x < std::min(r.x + r.width, SkinWidth); ++x) {
                const Spot spot{(x - r.x + 0.5f) / r.width, (y - r.y + 0.5f) / r.height, x, y, float(r.width),
                                float(r.height), &noise, seed};
                put(x, y, PatternColour(region.paint, spot));
            }
        }
    }
    // The lower half mirrors the upper one (see the header).
    const size_t row = size_t(SkinWidth) * 3;
    for (int y = 0; y < SkinPaintedHeight; ++y)
        std::copy_n(&rgb[size_t(y) * row], row, &rgb[size_t(SkinHeight - 1 - y) * row]);
    return rgb;
}

}  // namespace resgen

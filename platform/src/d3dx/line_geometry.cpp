#include "d3dx/line_geometry.h"

#include <cmath>

namespace platform::d3dx {
namespace {

D3DXVECTOR4 Lerp(const D3DXVECTOR4& a, const D3DXVECTOR4& b, float t) { return a + (b - a) * t; }

// Keeps the part of the segment where distance(p) >= 0; false when nothing remains.
template <typename Distance>
bool ClipAgainst(D3DXVECTOR4& a, D3DXVECTOR4& b, Distance distance) {
    float da = distance(a), db = distance(b);
    if (da < 0 && db < 0) return false;
    if (da < 0) a = Lerp(a, b, da / (da - db));
    else if (db < 0) b = Lerp(b, a, db / (db - da));
    return true;
}

}  // namespace

std::optional<ClipSegment> ClipToNearPlane(const D3DXVECTOR4& a, const D3DXVECTOR4& b) {
    ClipSegment segment{a, b};
    // The w plane uses a slightly larger margin than kNearW so the clipped end stays strictly
    // in front after rounding.
    if (!ClipAgainst(segment.a, segment.b, [](const D3DXVECTOR4& p) { return p.w - 2 * kNearW; })) return std::nullopt;
    if (!ClipAgainst(segment.a, segment.b, [](const D3DXVECTOR4& p) { return p.z; })) return std::nullopt;
    if (segment.a.w <= kNearW || segment.b.w <= kNearW) return std::nullopt;
    return segment;
}

ScreenPoint ToScreen(const D3DXVECTOR4& clip, const D3DVIEWPORT9& viewport) {
    float rhw = 1.0f / clip.w;
    ScreenPoint point;
    point.x = viewport.X + (clip.x * rhw + 1.0f) * 0.5f * viewport.Width;
    point.y = viewport.Y + (1.0f - clip.y * rhw) * 0.5f * viewport.Height;
    point.z = viewport.MinZ + clip.z * rhw * (viewport.MaxZ - viewport.MinZ);
    point.rhw = rhw;
    return point;
}

void AppendSegmentQuad(std::vector<LineVertex>& vertices, const ScreenPoint& a, const ScreenPoint& b, float width,
                       D3DCOLOR color) {
    float dx = b.x - a.x, dy = b.y - a.y;
    float length = std::sqrt(dx * dx + dy * dy);
    if (length <= 0.0f) return;
    float nx = -dy / length * width * 0.5f, ny = dx / length * width * 0.5f;
    LineVertex a0{a.x + nx, a.y + ny, a.z, a.rhw, color}, a1{a.x - nx, a.y - ny, a.z, a.rhw, color};
    LineVertex b0{b.x + nx, b.y + ny, b.z, b.rhw, color}, b1{b.x - nx, b.y - ny, b.z, b.rhw, color};
    vertices.insert(vertices.end(), {a0, b0, a1, a1, b0, b1});
}

}  // namespace platform::d3dx

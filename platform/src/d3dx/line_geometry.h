// The geometry of ID3DXLine: segments clipped in front of the eye, mapped to the viewport,
// and widened into quads in screen space.
#pragma once

#include <d3dx9.h>

#include <optional>
#include <vector>

namespace platform::d3dx {

struct LineVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};
constexpr DWORD kLineVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

// A point in screen space: pixels, depth in the viewport's range, and 1/w.
struct ScreenPoint {
    float x = 0, y = 0, z = 0, rhw = 1;
};

struct ClipSegment {
    D3DXVECTOR4 a, b;
};

// Clip-space w below this counts as at or behind the eye.
constexpr float kNearW = 1e-5f;

// The part of the segment with w > kNearW and z >= 0, where it is safe to divide by w; empty
// when none of it is in front.
std::optional<ClipSegment> ClipToNearPlane(const D3DXVECTOR4& a, const D3DXVECTOR4& b);

// Perspective divide and viewport mapping, as the device maps clip space to the screen.
ScreenPoint ToScreen(const D3DXVECTOR4& clip, const D3DVIEWPORT9& viewport);

// Two triangles (six vertices) covering the segment with the given width in pixels, centred
// on it; nothing for a segment of zero length. Depth and 1/w follow each end.
void AppendSegmentQuad(std::vector<LineVertex>& vertices, const ScreenPoint& a, const ScreenPoint& b, float width,
                       D3DCOLOR color);

}  // namespace platform::d3dx

#include "bsp/bsp_geometry.h"

#include <cmath>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

D3DXVECTOR3 WindingNormal(const BspTriangle& triangle) {
    D3DXVECTOR3 normal;
    const D3DXVECTOR3 first = triangle.p2 - triangle.p1;
    const D3DXVECTOR3 second = triangle.p3 - triangle.p2;
    D3DXVec3Cross(&normal, &first, &second);
    return normal;
}

namespace {

bool IsFinite(const D3DXVECTOR3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The winding normal worked out and normalised in double precision, for triangles whose
// single-precision normal overflows; zero when even that has no direction.
D3DXVECTOR3 WideUnitNormal(const BspTriangle& t) {
    const double a[3] = {double(t.p2.x) - t.p1.x, double(t.p2.y) - t.p1.y, double(t.p2.z) - t.p1.z};
    const double b[3] = {double(t.p3.x) - t.p2.x, double(t.p3.y) - t.p2.y, double(t.p3.z) - t.p2.z};
    const double n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length > 0.0) || !std::isfinite(length)) return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    return D3DXVECTOR3(float(n[0] / length), float(n[1] / length), float(n[2] / length));
}

// The winding normal normalised as D3DX does it. A triangle with coordinates so large (about
// 1e19 and beyond) that this overflows, as a hostile file may hold, gets the same direction
// from double precision instead of a normal that is not a number.
D3DXVECTOR3 UnitNormal(const BspTriangle& triangle) {
    const D3DXVECTOR3 normal = WindingNormal(triangle);
    D3DXVECTOR3 unit;
    D3DXVec3Normalize(&unit, &normal);
    const bool lost = unit == D3DXVECTOR3(0.0f, 0.0f, 0.0f) && normal != D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    return IsFinite(unit) && !lost ? unit : WideUnitNormal(triangle);
}

}  // namespace

BspPlane PlaneOf(const BspTriangle& triangle) {
    BspPlane plane;
    plane.normal = UnitNormal(triangle);
    plane.offset = D3DXVec3Dot(&plane.normal, &triangle.p1);
    return plane;
}

// The distance is taken as offset - normal . point, so positive values lie behind the plane.
PlaneSide ClassifyPoint(const BspPlane& plane, const D3DXVECTOR3& point) {
    const float behind = plane.offset - D3DXVec3Dot(&plane.normal, &point);
    if (behind > kPlaneEpsilon) return PlaneSide::Back;
    if (behind < -kPlaneEpsilon) return PlaneSide::Front;
    return PlaneSide::OnPlane;
}

PlaneSide ClassifyPoint(const BspTriangle& plane, const D3DXVECTOR3& point) {
    return ClassifyPoint(PlaneOf(plane), point);
}

// Every insertion into a tree classifies against each plane on its way down, so this is
// written without branches per vertex; each distance is ClassifyPoint's, to the bit.
TriangleSide ClassifyTriangle(const BspPlane& plane, const BspTriangle& triangle) {
    const float behind1 = plane.offset - D3DXVec3Dot(&plane.normal, &triangle.p1);
    const float behind2 = plane.offset - D3DXVec3Dot(&plane.normal, &triangle.p2);
    const float behind3 = plane.offset - D3DXVec3Dot(&plane.normal, &triangle.p3);
    const bool anyBehind = (behind1 > kPlaneEpsilon) | (behind2 > kPlaneEpsilon) | (behind3 > kPlaneEpsilon);
    const bool anyInFront = (behind1 < -kPlaneEpsilon) | (behind2 < -kPlaneEpsilon) | (behind3 < -kPlaneEpsilon);
    if (!anyBehind) return TriangleSide::Front;
    return anyInFront ? TriangleSide::Spanning : TriangleSide::Back;
}

TriangleSide ClassifyTriangle(const BspTriangle& plane, const BspTriangle& triangle) {
    return ClassifyTriangle(PlaneOf(plane), triangle);
}

bool RayPlane(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, const BspTriangle& plane, D3DXVECTOR3* point) {
    const BspPlane surface = PlaneOf(plane);
    const float facing = D3DXVec3Dot(&surface.normal, &direction);
    if (facing > -kParallelEpsilon && facing < kParallelEpsilon) return false;
    const float t = (surface.offset - D3DXVec3Dot(&surface.normal, &origin)) / facing;
    if (t < 0.0f) return false;
    *point = origin + t * direction;
    return true;
}

// The edge vectors and cross products are single precision; the ratios are taken in double.
double RayTriangle(const Ray& ray, const D3DXVECTOR3& p1, const D3DXVECTOR3& p2, const D3DXVECTOR3& p3,
                   double weights[3]) {
    constexpr double kMiss = std::numeric_limits<double>::infinity();
    const D3DXVECTOR3 edge1 = p2 - p1;
    const D3DXVECTOR3 edge2 = p3 - p1;
    D3DXVECTOR3 p;
    D3DXVec3Cross(&p, &ray.direction, &edge2);
    const double determinant = D3DXVec3Dot(&edge1, &p);
    if (determinant > -kParallelEpsilon && determinant < kParallelEpsilon) return kMiss;
    const D3DXVECTOR3 s = ray.origin - p1;
    const double u = D3DXVec3Dot(&s, &p) / determinant;
    // Written so that a weight that is not a number (from a hostile file's coordinates) misses.
    if (!(u >= 0.0 && u <= 1.0)) return kMiss;
    D3DXVECTOR3 q;
    D3DXVec3Cross(&q, &s, &edge1);
    const double v = D3DXVec3Dot(&ray.direction, &q) / determinant;
    if (!(v >= 0.0 && u + v <= 1.0)) return kMiss;
    const double t = D3DXVec3Dot(&edge2, &q) / determinant;
    if (!(t >= 0.0)) return kMiss;  // negative, or not a number
    weights[0] = 1.0 - u - v;
    weights[1] = u;
    weights[2] = v;
    return t;
}

bool FacesAlong(const BspTriangle& triangle, const D3DXVECTOR3& direction) {
    const D3DXVECTOR3 normal = WindingNormal(triangle);
    return D3DXVec3Dot(&normal, &direction) > 0.0f;
}

D3DXVECTOR3 Reflect(const D3DXVECTOR3& direction, const BspTriangle& triangle) {
    const D3DXVECTOR3 normal = UnitNormal(triangle);
    const D3DXVECTOR3 mirrored = direction - 2.0f * D3DXVec3Dot(&normal, &direction) * normal;
    D3DXVECTOR3 result;
    D3DXVec3Normalize(&result, &mirrored);
    return result;
}

// The margin that keeps a box around its triangle: 0.001 world units, or a hundred-thousandth
// of the coordinates' size where that is more, far beyond the rounding of a ray test.
constexpr float kBoxMargin = 1e-3f;
constexpr float kBoxRelativeMargin = 1e-5f;

BspBox BoxOf(const BspTriangle& t) {
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    BspBox box = {t.p1, t.p1};
    for (const D3DXVECTOR3* p : {&t.p2, &t.p3}) {
        box.low = D3DXVECTOR3(std::min(box.low.x, p->x), std::min(box.low.y, p->y), std::min(box.low.z, p->z));
        box.high = D3DXVECTOR3(std::max(box.high.x, p->x), std::max(box.high.y, p->y), std::max(box.high.z, p->z));
    }
    for (const D3DXVECTOR3* p : {&t.p1, &t.p2, &t.p3}) {
        if (!std::isfinite(p->x) || !std::isfinite(p->y) || !std::isfinite(p->z)) {
            return BspBox{D3DXVECTOR3(-kInfinity, -kInfinity, -kInfinity), D3DXVECTOR3(kInfinity, kInfinity, kInfinity)};
        }
    }
    const float size = std::max({std::fabs(box.low.x), std::fabs(box.low.y), std::fabs(box.low.z),
                                 std::fabs(box.high.x), std::fabs(box.high.y), std::fabs(box.high.z)});
    const float margin = std::max(kBoxMargin, size * kBoxRelativeMargin);
    const D3DXVECTOR3 pad(margin, margin, margin);
    return BspBox{box.low - pad, box.high + pad};
}

void Grow(BspBox* box, const BspBox& other) {
    box->low = D3DXVECTOR3(std::min(box->low.x, other.low.x), std::min(box->low.y, other.low.y),
                           std::min(box->low.z, other.low.z));
    box->high = D3DXVECTOR3(std::max(box->high.x, other.high.x), std::max(box->high.y, other.high.y),
                            std::max(box->high.z, other.high.z));
}

// The slab test in double: the span of t >= 0 inside every pair of planes must not be empty.
// Anything that is not a number keeps the box (never skipping what might be hit).
bool RayMeetsBox(const Ray& ray, const BspBox& box) {
    double nearest = 0.0;
    double farthest = std::numeric_limits<double>::infinity();
    const float origin[3] = {ray.origin.x, ray.origin.y, ray.origin.z};
    const float direction[3] = {ray.direction.x, ray.direction.y, ray.direction.z};
    const float low[3] = {box.low.x, box.low.y, box.low.z};
    const float high[3] = {box.high.x, box.high.y, box.high.z};
    for (int axis = 0; axis < 3; ++axis) {
        if (direction[axis] == 0.0f) {
            if (origin[axis] < low[axis] || origin[axis] > high[axis]) return false;
            continue;
        }
        const double t1 = (double(low[axis]) - origin[axis]) / direction[axis];
        const double t2 = (double(high[axis]) - origin[axis]) / direction[axis];
        if (std::isnan(t1) || std::isnan(t2)) continue;
        nearest = std::max(nearest, std::min(t1, t2));
        farthest = std::min(farthest, std::max(t1, t2));
        if (nearest > farthest) return false;
    }
    return true;
}

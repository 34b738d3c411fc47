// The geometry a BSP tree of triangles rests on: which side of a triangle's plane a point or
// a triangle lies, where a ray meets a plane or a triangle, and how a ray bounces off one.
#pragma once

#include <d3dx9.h>

// Three vertices in winding order; the winding fixes the normal (P2 - P1) x (P3 - P2).
struct BspTriangle {
    D3DXVECTOR3 p1;
    D3DXVECTOR3 p2;
    D3DXVECTOR3 p3;
};

enum class PlaneSide { Front, OnPlane, Back };
enum class TriangleSide { Front, Back, Spanning };

// Points closer to a plane than this, in world units, count as lying on it.
constexpr float kPlaneEpsilon = 0.001f;
// Ray directions more nearly parallel to a plane or triangle than this never meet it.
constexpr float kParallelEpsilon = 1e-6f;

// A triangle's plane: the points p with normal . p = offset, normal of unit length (zero for
// a triangle without area).
struct BspPlane {
    D3DXVECTOR3 normal;
    float offset;
};

BspPlane PlaneOf(const BspTriangle& triangle);
// The unnormalised normal (P2 - P1) x (P3 - P2).
D3DXVECTOR3 WindingNormal(const BspTriangle& triangle);

// Front is the side the normal points to; within kPlaneEpsilon (inclusive) is OnPlane.
PlaneSide ClassifyPoint(const BspPlane& plane, const D3DXVECTOR3& point);
PlaneSide ClassifyPoint(const BspTriangle& plane, const D3DXVECTOR3& point);

// Front when no vertex is behind the plane (a triangle in the plane is Front), Back when
// some vertex is behind and none in front, Spanning otherwise.
TriangleSide ClassifyTriangle(const BspPlane& plane, const BspTriangle& triangle);
TriangleSide ClassifyTriangle(const BspTriangle& plane, const BspTriangle& triangle);

// Where the ray from origin along the unit direction meets the plane, ahead of the origin.
// False (point untouched) when it runs parallel to the plane or the plane lies behind it.
bool RayPlane(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, const BspTriangle& plane, D3DXVECTOR3* point);

struct Ray {
    D3DXVECTOR3 origin;
    D3DXVECTOR3 direction;  // of unit length, so distances are world units
};

// What a ray cast found: the triangle hit, how far along the ray and where.
struct RayHit {
    double distance;
    D3DXVECTOR3 p1;
    D3DXVECTOR3 p2;
    D3DXVECTOR3 p3;
    D3DXVECTOR3 point;
};

// The Moller-Trumbore test, both faces counting: the distance along the ray to the triangle
// (+infinity for a miss) and the barycentric weights of P1, P2 and P3 at the hit.
double RayTriangle(const Ray& ray, const D3DXVECTOR3& p1, const D3DXVECTOR3& p2, const D3DXVECTOR3& p3,
                   double weights[3]);

// An axis-aligned box, a little larger than what it holds so that a ray that meets a
// triangle is never found to miss the box around it.
struct BspBox {
    D3DXVECTOR3 low;
    D3DXVECTOR3 high;
};

// The box around a triangle; a triangle with a coordinate that is not a finite number gets
// the box of all space.
BspBox BoxOf(const BspTriangle& triangle);
void Grow(BspBox* box, const BspBox& other);
// False only when the ray (from its origin on) cannot meet anything inside the box.
bool RayMeetsBox(const Ray& ray, const BspBox& box);

// True when the direction heads towards the front side of the triangle's plane.
bool FacesAlong(const BspTriangle& triangle, const D3DXVECTOR3& direction);

// The direction mirrored on the triangle's plane, of unit length; the same from either side.
D3DXVECTOR3 Reflect(const D3DXVECTOR3& direction, const BspTriangle& triangle);

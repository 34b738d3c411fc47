// Ray casts into a tree: the ray-triangle test at its boundaries, the walk's side rules,
// which of several triangles is reported, and the bounce.
#include "bsp/bsp_tree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/bsp/bsp_test_support.h"

using namespace bsp_test;

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

Ray MakeRay(D3DXVECTOR3 origin, D3DXVECTOR3 direction) {
    Ray ray;
    ray.origin = origin;
    D3DXVec3Normalize(&ray.direction, &direction);
    return ray;
}

double Distance(const BspTree& tree, const Ray& ray) {
    RayHit hit;
    return tree.RayCast(ray, &hit) ? hit.distance : kInfinity;
}

BspTree& TreeOf(BspTree& tree, const std::vector<BspTriangle>& triangles) {
    tree.Clear();
    tree.Build(triangles);
    return tree;
}

void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected, float tolerance = 1e-6f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

}  // namespace

TEST(RayTriangleTest, EdgesAndCornersHitAndJustOutsideMisses) {
    const BspTriangle t = GroundTriangle();
    // Straight down onto (x, y): u = x and v = y exactly.
    struct Case {
        float x, y;
        bool hit;
    };
    const Case cases[] = {{0.5f, 0.0f, true},  {0.0f, 0.5f, true},       {0.5f, 0.5f, true},
                          {0.0f, 0.0f, true},  {1.0f, 0.0f, true},       {0.0f, 1.0f, true},
                          {0.25f, 0.25f, true}, {0.5f, -1e-6f, false},   {-1e-6f, 0.5f, false},
                          {0.5000001f, 0.5f, false}, {1.0f, 1.0f, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        double w[3] = {-1, -1, -1};
        const double t1 = RayTriangle(MakeRay({c.x, c.y, 2}, {0, 0, -1}), t.p1, t.p2, t.p3, w);
        if (!c.hit) {
            EXPECT_EQ(t1, kInfinity);
            continue;
        }
        EXPECT_EQ(t1, 2.0);
        EXPECT_DOUBLE_EQ(w[0], 1.0 - c.x - c.y);
        EXPECT_DOUBLE_EQ(w[1], c.x);
        EXPECT_DOUBLE_EQ(w[2], c.y);
    }
}

TEST(RayTriangleTest, BothFacesCountAndParallelRaysNeverHit) {
    const BspTriangle t = GroundTriangle();
    double w[3];
    EXPECT_EQ(RayTriangle(MakeRay({0.25f, 0.25f, -3}, {0, 0, 1}), t.p1, t.p2, t.p3, w), 3.0);
    // Along the plane, through the triangle itself: |det| = 0.
    EXPECT_EQ(RayTriangle(MakeRay({-1, 0.25f, 0}, {1, 0, 0}), t.p1, t.p2, t.p3, w), kInfinity);
    // Tilted by 5e-7: it would cross the plane inside the triangle, but |det| < 1e-6.
    EXPECT_EQ(RayTriangle(MakeRay({0.1f, 0.25f, 1e-7f}, {1, 0, -5e-7f}), t.p1, t.p2, t.p3, w), kInfinity);
    // Behind the origin.
    EXPECT_EQ(RayTriangle(MakeRay({0.25f, 0.25f, 1}, {0, 0, 1}), t.p1, t.p2, t.p3, w), kInfinity);
}

TEST(RayTriangleTest, OriginOnTheTriangleHitsAtDistanceZero) {
    const BspTriangle t = GroundTriangle();
    double w[3];
    EXPECT_EQ(RayTriangle(MakeRay({0.25f, 0.25f, 0}, {0, 0, -1}), t.p1, t.p2, t.p3, w), 0.0);
    EXPECT_EQ(RayTriangle(MakeRay({0.25f, 0.25f, 0}, {0, 0, 1}), t.p1, t.p2, t.p3, w), 0.0);
    EXPECT_EQ(RayTriangle(MakeRay({0.25f, 0.25f, 0}, {0.6f, 0, 0.8f}), t.p1, t.p2, t.p3, w), 0.0);
}

TEST(RayCastTest, AnEmptyTreeMissesAndLeavesTheHitAlone) {
    BspTree tree;
    RayHit hit;
    hit.distance = 7;
    hit.p1 = D3DXVECTOR3(1, 2, 3);
    hit.point = D3DXVECTOR3(4, 5, 6);
    EXPECT_FALSE(tree.RayCast(MakeRay({0, 0, 0}, {0, 0, 1}), &hit));
    EXPECT_EQ(hit.distance, kInfinity);
    EXPECT_EQ(hit.p1, D3DXVECTOR3(1, 2, 3));
    EXPECT_EQ(hit.point, D3DXVECTOR3(4, 5, 6));
}

TEST(RayCastTest, AHitReportsTheTriangleTheDistanceAndThePoint) {
    BspTree tree;
    TreeOf(tree, {GroundTriangle()});
    RayHit hit;
    // From (1.9, 0.5, 2) along (-0.6, 0, -0.8): 2.5 units to (0.4, 0.5, 0).
    ASSERT_TRUE(tree.RayCast(MakeRay({1.9f, 0.5f, 2}, {-0.6f, 0, -0.8f}), &hit));
    EXPECT_NEAR(hit.distance, 2.5, 1e-6);
    ExpectNear(hit.point, {0.4f, 0.5f, 0});
    EXPECT_EQ(hit.p1, GroundTriangle().p1);
    EXPECT_EQ(hit.p2, GroundTriangle().p2);
    EXPECT_EQ(hit.p3, GroundTriangle().p3);
    // The edges and corners count.
    for (const D3DXVECTOR3& target : {D3DXVECTOR3(0.5f, 0.5f, 0), D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 0.5f, 0)}) {
        ASSERT_TRUE(tree.RayCast(MakeRay(target + D3DXVECTOR3(0, 0, 1), {0, 0, -1}), &hit));
        EXPECT_EQ(hit.distance, 1.0);
        ExpectNear(hit.point, target);
    }
}

TEST(RayCastTest, AnOriginWithinTheEpsilonOfAPlaneCountsAsInFrontOfIt) {
    BspTree tree;
    TreeOf(tree, {GroundTriangle()});
    const D3DXVECTOR3 up(0, 0, 1), down(0, 0, -1);
    // 0.0005 behind and moving to the front: taken as in front and moving away, so the
    // triangle is not tested, though the ray itself would meet it 0.0005 ahead.
    const Ray nearlyOn = MakeRay({0.25f, 0.25f, -0.0005f}, up);
    EXPECT_EQ(Distance(tree, nearlyOn), kInfinity);
    double w[3];
    EXPECT_NEAR(RayTriangle(nearlyOn, tree.root->triangle.p1, tree.root->triangle.p2, tree.root->triangle.p3, w),
                0.0005, 1e-7);
    EXPECT_NEAR(Distance(tree, MakeRay({0.25f, 0.25f, -0.002f}, up)), 0.002, 1e-7);
    EXPECT_NEAR(Distance(tree, MakeRay({0.25f, 0.25f, 0.0005f}, down)), 0.0005, 1e-7);
    // On the triangle: moving to its back hits at once, moving to its front moves away.
    EXPECT_EQ(Distance(tree, MakeRay({0.25f, 0.25f, 0}, down)), 0.0);
    EXPECT_EQ(Distance(tree, MakeRay({0.25f, 0.25f, 0}, up)), kInfinity);
}

TEST(RayCastTest, ARayAlongAPlaneNeverHitsItsTriangle) {
    BspTree tree;
    TreeOf(tree, {GroundTriangle()});
    EXPECT_EQ(Distance(tree, MakeRay({-1, 0.25f, 0}, {1, 0, 0})), kInfinity);
    EXPECT_EQ(Distance(tree, MakeRay({0.1f, 0.25f, 1e-7f}, {1, 0, -5e-7f})), kInfinity);
}

TEST(RayCastTest, TheNearerOfTwoTrianglesIsReportedFromEitherSide) {
    const BspTriangle below = Tri({-5, -5, -1}, {10, -5, -1}, {-5, 10, -1});
    BspTree tree;
    TreeOf(tree, {GroundTriangle(), below});
    ASSERT_NE(tree.root->back, nullptr);
    RayHit hit;
    ASSERT_TRUE(tree.RayCast(MakeRay({0.25f, 0.25f, 5}, {0, 0, -1}), &hit));
    EXPECT_EQ(hit.distance, 5.0);
    EXPECT_EQ(hit.p3, GroundTriangle().p3);
    ASSERT_TRUE(tree.RayCast(MakeRay({0.25f, 0.25f, -5}, {0, 0, 1}), &hit));
    EXPECT_EQ(hit.distance, 4.0);
    EXPECT_EQ(hit.p3, below.p3);
    // Beside the small triangle the ray goes on through its plane to the far side.
    ASSERT_TRUE(tree.RayCast(MakeRay({0.9f, 0.9f, 5}, {0, 0, -1}), &hit));
    EXPECT_EQ(hit.distance, 6.0);
    ExpectNear(hit.point, {0.9f, 0.9f, -1});
    // Built the other way round, the small triangle lies in front of the large one.
    TreeOf(tree, {below, GroundTriangle()});
    EXPECT_EQ(Distance(tree, MakeRay({0.25f, 0.25f, 5}, {0, 0, -1})), 5.0);
    EXPECT_EQ(Distance(tree, MakeRay({0.25f, 0.25f, -5}, {0, 0, 1})), 4.0);
    EXPECT_EQ(Distance(tree, MakeRay({0.9f, 0.9f, 5}, {0, 0, -1})), 6.0);
}

TEST(RayCastTest, ARayMovingAwayFromAPlaneStaysOnItsSide) {
    // A triangle behind the ground's plane and a ray above it moving up: the back subtree is
    // skipped, and a ray moving down that misses the ground goes on into it.
    const BspTriangle below = Tri({2, 2, -1}, {3, 2, -1}, {2, 3, -1});
    BspTree tree;
    TreeOf(tree, {GroundTriangle(), below});
    EXPECT_EQ(Distance(tree, MakeRay({2.2f, 2.2f, 1}, {0, 0, 1})), kInfinity);
    EXPECT_EQ(Distance(tree, MakeRay({2.2f, 2.2f, 1}, {0, 0, -1})), 2.0);
    EXPECT_EQ(Distance(tree, MakeRay({2.2f, 2.2f, -3}, {0, 0, 1})), 2.0);
    EXPECT_EQ(Distance(tree, MakeRay({2.2f, 2.2f, -3}, {0, 0, -1})), kInfinity);
}

TEST(ReflectTest, HeadOnReversesAndObliqueMirrorsFromEitherSide) {
    const BspTriangle ground = GroundTriangle();
    const BspTriangle turned = Tri({0, 0, 0}, {0, 1, 0}, {1, 0, 0});
    ExpectNear(Reflect({0, 0, -1}, ground), {0, 0, 1});
    ExpectNear(Reflect({0, 0, 1}, ground), {0, 0, -1});
    ExpectNear(Reflect({0.6f, 0, -0.8f}, ground), {0.6f, 0, 0.8f});
    ExpectNear(Reflect({0.6f, 0, -0.8f}, turned), {0.6f, 0, 0.8f});
    ExpectNear(Reflect({-0.6f, 0, 0.8f}, turned), {-0.6f, 0, -0.8f});
    // A longer direction comes back of unit length.
    ExpectNear(Reflect({3, 0, -4}, ground), {0.6f, 0, 0.8f});
    // A wall x = 2 facing -x.
    const BspTriangle wall = Tri({2, 0, 0}, {2, 0, 1}, {2, 1, 0});
    ExpectNear(Reflect({0.8f, 0.6f, 0}, wall), {-0.8f, 0.6f, 0});
}

TEST(ReflectTest, FacesAlongIsStrictlyTowardsTheFront) {
    const BspTriangle ground = GroundTriangle();
    EXPECT_TRUE(FacesAlong(ground, {0, 0, 1}));
    EXPECT_TRUE(FacesAlong(ground, {5, 5, 0.001f}));
    EXPECT_FALSE(FacesAlong(ground, {0, 0, -1}));
    EXPECT_FALSE(FacesAlong(ground, {1, 0, 0}));
}

TEST(ReflectTest, HugeOrBrokenTrianglesStillGiveAUnitOrUnchangedDirection) {
    // A normal of 1e60 overflows single precision; its direction is (1, 1, 1) / sqrt(3), so
    // (0, 0, -1) leaves along (2, 2, -1) / 3.
    const BspTriangle huge = Tri({1e30f, 0, 0}, {0, 1e30f, 0}, {0, 0, 1e30f});
    ExpectNear(Reflect({0, 0, -1}, huge), {2.0f / 3, 2.0f / 3, -1.0f / 3});
    const BspPlane plane = PlaneOf(huge);
    ExpectNear(plane.normal, {0.57735027f, 0.57735027f, 0.57735027f});
    // Coordinates that are not numbers give no plane to bounce off.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    ExpectNear(Reflect({0, 0.6f, -0.8f}, Tri({nan, 0, 0}, {0, 1, 0}, {0, 0, 1})), {0, 0.6f, -0.8f});
    ExpectNear(Reflect({0, 0.6f, -0.8f}, Tri({inf, 0, 0}, {0, 1, 0}, {0, 0, 1})), {0, 0.6f, -0.8f});
}

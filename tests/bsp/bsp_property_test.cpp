// Random triangle soups and rays: the tree's walk finds what testing every one of its
// triangles finds.
#include "bsp/bsp_tree.h"

#include <gtest/gtest.h>
#include <host.h>

#include <cmath>
#include <limits>

#include "tests/bsp/bsp_test_support.h"

using namespace bsp_test;

namespace {

constexpr float kExtent = 10.0f;
constexpr double kTolerance = 1e-4;

// Snaps every corner to a half-unit grid: many corners then lie exactly on other triangles'
// planes, and many triangles share a plane.
std::vector<BspTriangle> Snapped(std::vector<BspTriangle> soup) {
    std::vector<BspTriangle> kept;
    for (BspTriangle& t : soup) {
        for (D3DXVECTOR3* p : {&t.p1, &t.p2, &t.p3}) {
            *p = D3DXVECTOR3(std::round(p->x * 2) / 2, std::round(p->y * 2) / 2, std::round(p->z * 2) / 2);
        }
        if (DoubleArea(t) > 1e-3) kept.push_back(t);
    }
    return kept;
}

float NearestPlane(const std::vector<const BspNode*>& nodes, const D3DXVECTOR3& point) {
    float nearest = std::numeric_limits<float>::infinity();
    for (const BspNode* node : nodes) {
        nearest = std::min(nearest, std::fabs(D3DXVec3Dot(&node->plane.normal, &point) - node->plane.offset));
    }
    return nearest;
}

struct Tally {
    int rays = 0, hits = 0, skippedNearPlane = 0;
};

// Casts random rays into the tree of the soup and compares each with testing every triangle
// of the tree. The walk takes an origin within the epsilon of a plane as in front of it, so
// from there it may pass over a triangle that the ray meets within a hair of its origin: such
// a ray may differ (it is counted), every other must agree.
void CompareWithAllTriangles(const std::vector<BspTriangle>& soup, uint32_t seed, int rays, Tally* tally) {
    BspTree tree;
    tree.Build(soup);
    const std::vector<BspTriangle> all = tree.Triangles();
    std::vector<const BspNode*> nodes;
    ForEachNode(tree, [&](const BspNode& node, const std::vector<Ancestor>&) { nodes.push_back(&node); });
    std::mt19937 random(seed * 7919u);
    for (int i = 0; i < rays; ++i) {
        const Ray ray = RandomRay(random, kExtent);
        RayHit hit;
        const bool found = tree.RayCast(ray, &hit);
        const double expected = NearestByTestingAll(all, ray);
        ++tally->rays;
        tally->hits += std::isfinite(expected);
        const double cast = found ? hit.distance : std::numeric_limits<double>::infinity();
        if (found) {
            // The reported point is where the ray is at the reported distance.
            const D3DXVECTOR3 along = ray.origin + static_cast<float>(hit.distance) * ray.direction - hit.point;
            EXPECT_LT(D3DXVec3Length(&along), 1e-4f) << "seed " << seed << " ray " << i;
        }
        if (cast == expected || std::fabs(cast - expected) <= kTolerance) continue;
        if (NearestPlane(nodes, ray.origin) <= kPlaneEpsilon * 1.01f) {
            ++tally->skippedNearPlane;
            EXPECT_GT(cast, expected) << "the walk never finds a nearer hit than there is";
            continue;
        }
        ADD_FAILURE() << "seed " << seed << " ray " << i << ": cast " << cast << ", nearest of all " << expected;
    }
}

class BspPropertyTest : public ::testing::Test {
protected:
    void SetUp() override { host::SetMessageBoxListener([](const std::wstring&, const std::wstring&) {}); }
    void TearDown() override { host::SetMessageBoxListener(nullptr); }
};

}  // namespace

TEST_F(BspPropertyTest, RayCastFindsTheNearestOfAllTrianglesInRandomSoups) {
    Tally tally;
    for (uint32_t seed = 1; seed <= 12; ++seed) CompareWithAllTriangles(RandomSoup(seed, 80, kExtent, 4.0f), seed, 1000, &tally);
    EXPECT_GT(tally.hits, tally.rays / 5) << "enough rays hit something";
    EXPECT_LT(tally.skippedNearPlane, tally.rays / 1000) << "rays starting on a plane are rare";
}

TEST_F(BspPropertyTest, RayCastFindsTheNearestOfAllTrianglesOnAGrid) {
    Tally tally;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        CompareWithAllTriangles(Snapped(RandomSoup(seed + 100, 80, kExtent, 4.0f)), seed, 1000, &tally);
    }
    EXPECT_GT(tally.hits, tally.rays / 5);
    EXPECT_LT(tally.skippedNearPlane, tally.rays / 1000);
}

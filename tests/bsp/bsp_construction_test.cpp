// Building a tree: where a triangle goes against a plane, how a straddling one is cut, the
// order in which the pieces come back, and what the finished tree holds.
#include "bsp/bsp_tree.h"

#include <gtest/gtest.h>
#include <host.h>

#include <cmath>

#include "tests/bsp/bsp_test_support.h"

using namespace bsp_test;

namespace {

class BspBuildTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::SetMessageBoxListener([this](const std::wstring& caption, const std::wstring& text) {
            EXPECT_EQ(caption, L"");
            messages.push_back(text);
        });
    }
    void TearDown() override { host::SetMessageBoxListener(nullptr); }

    std::vector<std::wstring> messages;
};

void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-6f);
    EXPECT_NEAR(actual.y, expected.y, 1e-6f);
    EXPECT_NEAR(actual.z, expected.z, 1e-6f);
}

void ExpectTriangle(const BspTriangle& actual, const BspTriangle& expected) {
    SCOPED_TRACE("triangle");
    ExpectNear(actual.p1, expected.p1);
    ExpectNear(actual.p2, expected.p2);
    ExpectNear(actual.p3, expected.p3);
}

// A piece keeps the winding of the triangle it was cut from: its normal points the same way.
void ExpectSameWinding(const BspTriangle& piece, const BspTriangle& whole) {
    const D3DXVECTOR3 a = Normal(piece);
    const D3DXVECTOR3 b = Normal(whole);
    EXPECT_GT(D3DXVec3Dot(&a, &b), 0.0f);
}

}  // namespace

TEST(BspPlaneTest, PointsWithinTheEpsilonInclusiveLieOnThePlane) {
    const BspTriangle ground = GroundTriangle();
    EXPECT_EQ(ClassifyPoint(ground, {5, 5, 0.0011f}), PlaneSide::Front);
    EXPECT_EQ(ClassifyPoint(ground, {5, 5, 0.001f}), PlaneSide::OnPlane);
    EXPECT_EQ(ClassifyPoint(ground, {-7, 3, 0.0f}), PlaneSide::OnPlane);
    EXPECT_EQ(ClassifyPoint(ground, {5, 5, -0.001f}), PlaneSide::OnPlane);
    EXPECT_EQ(ClassifyPoint(ground, {5, 5, -0.0011f}), PlaneSide::Back);
    // The winding, not the vertex order in space, decides which side is the front.
    const BspTriangle turned = Tri({0, 0, 0}, {0, 1, 0}, {1, 0, 0});
    EXPECT_EQ(ClassifyPoint(turned, {0, 0, 2}), PlaneSide::Back);
    // The epsilon is in world units whatever the triangle's size.
    const BspTriangle large = Tri({0, 0, 100}, {500, 0, 100}, {0, 500, 100});
    EXPECT_EQ(ClassifyPoint(large, {1, 1, 100.0009f}), PlaneSide::OnPlane);
    EXPECT_EQ(ClassifyPoint(large, {1, 1, 99.998f}), PlaneSide::Back);
}

TEST(BspPlaneTest, TrianglesTouchingOrInThePlaneCountAsFront) {
    const BspTriangle ground = GroundTriangle();
    EXPECT_EQ(ClassifyTriangle(ground, Tri({5, 5, 0}, {6, 5, 0}, {5, 6, 0})), TriangleSide::Front);
    EXPECT_EQ(ClassifyTriangle(ground, Tri({5, 5, 0}, {5, 6, 0}, {6, 5, 0})), TriangleSide::Front);
    EXPECT_EQ(ClassifyTriangle(ground, Tri({0, 0, 0}, {1, 0, -1}, {0, 1, -2})), TriangleSide::Back);
    EXPECT_EQ(ClassifyTriangle(ground, Tri({0, 0, 0}, {1, 0, 1}, {0, 1, -1})), TriangleSide::Spanning);
    EXPECT_EQ(ClassifyTriangle(ground, Tri({0, 0, 0.001f}, {1, 0, -0.001f}, {0, 1, 0.0009f})), TriangleSide::Front);
}

TEST(BspPlaneTest, RayPlaneMeetsThePlaneAheadOnly) {
    const BspTriangle ground = GroundTriangle();
    D3DXVECTOR3 point(9, 9, 9);
    ASSERT_TRUE(RayPlane({3, 4, 2}, {0, 0, -1}, ground, &point));
    ExpectNear(point, {3, 4, 0});
    const D3DXVECTOR3 slant(0.6f, 0.0f, -0.8f);
    ASSERT_TRUE(RayPlane({0, 0, 4}, slant, ground, &point));
    ExpectNear(point, {3, 0, 0});
    point = D3DXVECTOR3(9, 9, 9);
    EXPECT_FALSE(RayPlane({3, 4, 2}, {0, 0, 1}, ground, &point)) << "the plane lies behind";
    EXPECT_FALSE(RayPlane({3, 4, 2}, {1, 0, 0}, ground, &point)) << "parallel";
    EXPECT_FALSE(RayPlane({3, 4, 2}, {1, 0, 5e-7f}, ground, &point)) << "nearly parallel";
    EXPECT_EQ(point, D3DXVECTOR3(9, 9, 9)) << "a miss leaves the point alone";
}

TEST_F(BspBuildTest, OneTriangleMakesARootWithoutChildren) {
    BspTree tree;
    EXPECT_EQ(tree.root, nullptr);
    tree.Build({GroundTriangle()});
    ASSERT_NE(tree.root, nullptr);
    EXPECT_EQ(tree.root->front, nullptr);
    EXPECT_EQ(tree.root->back, nullptr);
    ExpectTriangle(tree.root->triangle, GroundTriangle());
    EXPECT_EQ(tree.Shape().nodes, 1u);
    EXPECT_EQ(tree.Shape().depth, 1u);
    tree.Clear();
    EXPECT_EQ(tree.root, nullptr);
    EXPECT_EQ(tree.Shape().nodes, 0u);
    tree.Build({});
    EXPECT_EQ(tree.root, nullptr);
}

TEST_F(BspBuildTest, UncutTrianglesGoDownTheirSideWholeAndInListOrder) {
    const BspTriangle coplanar = Tri({5, 5, 0}, {5, 6, 0}, {6, 5, 0});  // wound the other way
    const BspTriangle touchingAbove = Tri({0, 0, 0}, {1, 0, 1}, {0, 1, 2});
    const BspTriangle touchingBelow = Tri({0, 0, 0}, {1, 0, -1}, {0, 1, -2});
    const BspTriangle withinEpsilon = Tri({0, 0, 0.001f}, {1, 0, -0.001f}, {0, 1, 0.0009f});
    BspTree tree;
    tree.Build({GroundTriangle(), coplanar, touchingBelow, touchingAbove, withinEpsilon});
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(tree.Shape().nodes, 5u) << "nothing was cut";
    ASSERT_NE(tree.root->front, nullptr);
    ASSERT_NE(tree.root->back, nullptr);
    ExpectTriangle(tree.root->front->triangle, coplanar);
    ExpectTriangle(tree.root->back->triangle, touchingBelow);
    // Below the coplanar triangle (front: -z), touchingAbove lies behind it; withinEpsilon lies
    // on its plane and so in front.
    const BspNode* second = tree.root->front;
    ASSERT_NE(second->back, nullptr);
    ExpectTriangle(second->back->triangle, touchingAbove);
    ASSERT_NE(second->front, nullptr);
    ExpectTriangle(second->front->triangle, withinEpsilon);
    EXPECT_TRUE(tree.pending.empty());
}

TEST_F(BspBuildTest, VertexOnThePlaneAndTheOthersOppositeGivesTwoPiecesSharingIt) {
    // Sides: a0 on the plane, a1 front, a2 back. The first edge from front to back is a1-a2,
    // cut at its middle (0.5, 0.5, 0); the third vertex is a0.
    const BspTriangle u = Tri({0, 0, 0}, {1, 0, 1}, {0, 1, -1});
    BspTree tree;
    tree.Split(GroundTriangle(), u);
    ASSERT_EQ(tree.pending.size(), 2u);
    ExpectTriangle(tree.pending[0], Tri({1, 0, 1}, {0.5f, 0.5f, 0}, {0, 0, 0}));
    ExpectTriangle(tree.pending[1], Tri({0.5f, 0.5f, 0}, {0, 1, -1}, {0, 0, 0}));
    for (const BspTriangle& piece : tree.pending) ExpectSameWinding(piece, u);
    tree.pending.clear();

    tree.Build({GroundTriangle(), u});
    EXPECT_EQ(tree.Shape().nodes, 3u);
    ASSERT_NE(tree.root->front, nullptr);
    ASSERT_NE(tree.root->back, nullptr);
    ExpectTriangle(tree.root->front->triangle, Tri({1, 0, 1}, {0.5f, 0.5f, 0}, {0, 0, 0}));
    ExpectTriangle(tree.root->back->triangle, Tri({0.5f, 0.5f, 0}, {0, 1, -1}, {0, 0, 0}));
    EXPECT_TRUE(tree.pending.empty());
}

TEST_F(BspBuildTest, TheFirstStraddlingEdgeInVertexOrderIsCutFirst) {
    // Sides front, on, back: only the edge a2-a0 runs from back to front.
    const BspTriangle u = Tri({0, 0, 1}, {1, 0, 0}, {0, 1, -1});
    BspTree tree;
    tree.Split(GroundTriangle(), u);
    ASSERT_EQ(tree.pending.size(), 2u);
    ExpectTriangle(tree.pending[0], Tri({0, 1, -1}, {0, 0.5f, 0}, {1, 0, 0}));
    ExpectTriangle(tree.pending[1], Tri({0, 0.5f, 0}, {0, 0, 1}, {1, 0, 0}));
}

TEST_F(BspBuildTest, TwoVerticesOnOneSideGiveThreePiecesPushedInOrder) {
    // Front, back, front: the lone back vertex a1 gets one piece, the front side two.
    const BspTriangle u = Tri({0, 0, 1}, {1, 0, -1}, {0, 1, 1});
    BspTree tree;
    tree.Split(GroundTriangle(), u);
    ASSERT_EQ(tree.pending.size(), 3u);
    const D3DXVECTOR3 i1(0.5f, 0, 0), i2(0.5f, 0.5f, 0);
    ExpectTriangle(tree.pending[0], Tri({0, 0, 1}, i1, i2));
    ExpectTriangle(tree.pending[1], Tri(i1, {1, 0, -1}, i2));
    ExpectTriangle(tree.pending[2], Tri({0, 0, 1}, i2, {0, 1, 1}));
    for (const BspTriangle& piece : tree.pending) ExpectSameWinding(piece, u);
    tree.pending.clear();

    // Front, back, back: the lone front vertex a0 gets one piece, the back side two.
    const BspTriangle w = Tri({0, 0, 1}, {1, 0, -1}, {0, 1, -1});
    tree.Split(GroundTriangle(), w);
    ASSERT_EQ(tree.pending.size(), 3u);
    const D3DXVECTOR3 j2(0, 0.5f, 0);
    ExpectTriangle(tree.pending[0], Tri({0, 0, 1}, i1, j2));
    ExpectTriangle(tree.pending[1], Tri(i1, {1, 0, -1}, j2));
    ExpectTriangle(tree.pending[2], Tri(j2, {1, 0, -1}, {0, 1, -1}));
    for (const BspTriangle& piece : tree.pending) ExpectSameWinding(piece, w);
    tree.pending.clear();

    // The last piece pushed is inserted first, so of the two front pieces the third becomes
    // the root's front child and the first (coplanar with it) goes to its front.
    tree.Build({GroundTriangle(), u});
    EXPECT_EQ(tree.Shape().nodes, 4u);
    ASSERT_NE(tree.root->front, nullptr);
    ExpectTriangle(tree.root->front->triangle, Tri({0, 0, 1}, i2, {0, 1, 1}));
    ASSERT_NE(tree.root->front->front, nullptr);
    ExpectTriangle(tree.root->front->front->triangle, Tri({0, 0, 1}, i1, i2));
    EXPECT_EQ(tree.root->front->back, nullptr);
    ASSERT_NE(tree.root->back, nullptr);
    ExpectTriangle(tree.root->back->triangle, Tri(i1, {1, 0, -1}, i2));
    EXPECT_TRUE(messages.empty());
}

TEST_F(BspBuildTest, PiecesReenterAtTheRootAndAreCutAgainFurtherDown) {
    // The wall x = 0.5 lies in front of the ground; the long triangle crosses both planes.
    const BspTriangle wall = Tri({0.5f, 0, 0.5f}, {0.5f, 1, 0.5f}, {0.5f, 0, 1.5f});
    const BspTriangle crossing = Tri({0, 0.5f, 1}, {1, 0.5f, 1}, {0, 0.5f, -1});
    BspTree tree;
    tree.Build({GroundTriangle(), wall, crossing});
    EXPECT_TRUE(tree.pending.empty());
    EXPECT_TRUE(messages.empty());
    // The ground cuts the crossing triangle into one piece below and two above; the wall
    // cuts the two above again, into three and two.
    EXPECT_EQ(tree.Shape().nodes, 2u + 1u + 3u + 2u);
    double area = 0;
    for (const BspTriangle& t : tree.Triangles()) area += DoubleArea(t);
    EXPECT_NEAR(area, DoubleArea(GroundTriangle()) + DoubleArea(wall) + DoubleArea(crossing), 1e-5);
}

TEST_F(BspBuildTest, ACutThatTheRayCannotFindIsReportedAndTakenFromTheDistances) {
    // The edge from z = +0.0011 to z = -0.0011 over 3000 units runs too nearly parallel to
    // the ground for the ray test; the cut falls halfway along it.
    const BspTriangle u = Tri({0, 0, 0.0011f}, {3000, 0, -0.0011f}, {0, 1, 0.0011f});
    BspTree tree;
    tree.Split(GroundTriangle(), u);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], L"Error.Ray Can't hit Plane");
    ASSERT_EQ(tree.pending.size(), 3u);
    EXPECT_NEAR(tree.pending[0].p2.x, 1500.0f, 0.01f);
    EXPECT_NEAR(tree.pending[0].p2.z, 0.0f, 1e-6f);
    for (const BspTriangle& piece : tree.pending) {
        for (const D3DXVECTOR3* p : {&piece.p1, &piece.p2, &piece.p3}) EXPECT_TRUE(std::isfinite(p->x + p->y + p->z));
    }
}

TEST_F(BspBuildTest, EveryNodeLiesOnItsSideOfEachAncestorAndTheAreaIsKept) {
    for (uint32_t seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE(seed);
        const std::vector<BspTriangle> soup = RandomSoup(seed, 60, 10.0f, 4.0f);
        BspTree tree;
        tree.Build(soup);
        EXPECT_TRUE(tree.pending.empty());
        size_t wrongSide = 0;
        ForEachNode(tree, [&](const BspNode& node, const std::vector<Ancestor>& path) {
            for (const Ancestor& ancestor : path) {
                const PlaneSide wrong = ancestor.front ? PlaneSide::Back : PlaneSide::Front;
                for (const D3DXVECTOR3* p : {&node.triangle.p1, &node.triangle.p2, &node.triangle.p3}) {
                    wrongSide += ClassifyPoint(ancestor.node->triangle, *p) == wrong;
                }
            }
        });
        EXPECT_EQ(wrongSide, 0u);
        // Cutting moves no surface: the pieces cover each triangle exactly, facing its way.
        double soupArea = 0, treeArea = 0;
        D3DXVECTOR3 soupNormal(0, 0, 0), treeNormal(0, 0, 0);
        for (const BspTriangle& t : soup) soupArea += DoubleArea(t), soupNormal += Normal(t);
        for (const BspTriangle& t : tree.Triangles()) treeArea += DoubleArea(t), treeNormal += Normal(t);
        EXPECT_GT(tree.Shape().nodes, soup.size()) << "the soup is cut";
        EXPECT_NEAR(treeArea, soupArea, soupArea * 1e-5);
        EXPECT_NEAR(treeNormal.x, soupNormal.x, soupArea * 1e-5);
        EXPECT_NEAR(treeNormal.y, soupNormal.y, soupArea * 1e-5);
        EXPECT_NEAR(treeNormal.z, soupNormal.z, soupArea * 1e-5);
    }
}

TEST_F(BspBuildTest, DegenerateTrianglesBuildWithoutNanPlanes) {
    // Collinear and single-point triangles have no normal; they lie on every plane.
    const BspTriangle line = Tri({0, 0, -1}, {0, 0, 0}, {0, 0, 1});
    const BspTriangle point = Tri({2, 2, 2}, {2, 2, 2}, {2, 2, 2});
    BspTree tree;
    tree.Build({line, GroundTriangle(), point, Tri({0.2f, 0.2f, -1}, {0.3f, 0.2f, 1}, {0.2f, 0.3f, 1})});
    EXPECT_TRUE(tree.pending.empty());
    const BspPlane plane = PlaneOf(line);
    EXPECT_EQ(plane.normal, D3DXVECTOR3(0, 0, 0));
    EXPECT_EQ(plane.offset, 0.0f);
    EXPECT_EQ(ClassifyPoint(line, {5, 5, 5}), PlaneSide::OnPlane);
    // Nothing to bounce off: the direction goes on unchanged.
    ExpectNear(Reflect(D3DXVECTOR3(0.6f, 0.0f, -0.8f), line), {0.6f, 0.0f, -0.8f});
    ExpectNear(Reflect(D3DXVECTOR3(0.0f, 1.0f, 0.0f), point), {0.0f, 1.0f, 0.0f});
    ForEachNode(tree, [](const BspNode& node, const std::vector<Ancestor>&) {
        EXPECT_FALSE(std::isnan(node.plane.normal.x + node.plane.normal.y + node.plane.normal.z));
    });
}

TEST_F(BspBuildTest, NodeLimitStopsABuildEarly) {
    const std::vector<BspTriangle> soup = RandomSoup(7, 40, 10.0f, 4.0f);
    BspTree full;
    EXPECT_TRUE(full.Build(soup));
    const size_t nodes = full.Shape().nodes;
    BspTree capped;
    EXPECT_FALSE(capped.Build(soup, nodes / 2));
    EXPECT_TRUE(capped.pending.empty());
    EXPECT_LE(capped.Shape().nodes, nodes / 2 + 1);
    BspTree exact;
    EXPECT_TRUE(exact.Build(soup, nodes));
    EXPECT_EQ(exact.Shape().nodes, nodes);
}

TEST_F(BspBuildTest, AHundredThousandTrianglesWithDegenerateOnesAmongThemBuild) {
    // Small triangles scattered through a scene, one in a hundred collapsed to a line.
    std::vector<BspTriangle> scene = RandomSoup(21, 100000, 100.0f, 0.3f);
    for (size_t i = 0; i < scene.size(); i += 100) {
        const D3DXVECTOR3 a = scene[i].p1, b = scene[i].p2;
        scene[i].p3 = a + 2.0f * (b - a);
    }
    BspTree tree;
    EXPECT_TRUE(tree.Build(scene));
    EXPECT_TRUE(tree.pending.empty());
    EXPECT_GE(tree.Shape().nodes, scene.size());
    std::mt19937 random(4);
    for (int i = 0; i < 100; ++i) {
        RayHit hit;
        if (tree.RayCast(RandomRay(random, 100.0f), &hit)) {
            EXPECT_TRUE(std::isfinite(hit.point.x + hit.point.y + hit.point.z));
        }
    }
}

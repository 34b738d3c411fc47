// The .bsp file: a tree's nodes in pre-order, read back exactly, and files that end early,
// hold nonsense or describe a chain a million nodes deep.
#include "bsp/bsp_tree.h"

#include <gtest/gtest.h>
#include <host.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>

#include "tests/bsp/bsp_test_support.h"

using namespace bsp_test;

namespace {

class BspFileTest : public ::testing::Test {
protected:
    void SetUp() override { host::SetMessageBoxListener([](const std::wstring&, const std::wstring&) {}); }
    void TearDown() override {
        host::SetMessageBoxListener(nullptr);
        std::remove(path.c_str());
    }

    // Writes the bytes and loads them into `tree`.
    bool LoadBytes(const std::vector<uint8_t>& bytes) {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        return tree.Load(Wide(path).c_str());
    }

    std::vector<uint8_t> FileBytes() const {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    const std::string path = TempPath("file.bsp");
    BspTree tree;
};

BspTriangle Level(float z) { return Tri({0, 0, z}, {1, 0, z}, {0, 1, z}); }

// Casts rays in many directions from several points; every cast must end, and a hit must
// lie at a finite distance ahead, at a finite point, with a finite bounce.
void CastAround(const BspTree& tree) {
    std::mt19937 random(5);
    for (int i = 0; i < 200; ++i) {
        const Ray ray = RandomRay(random, 4.0f);
        RayHit hit;
        if (tree.RayCast(ray, &hit)) {
            EXPECT_TRUE(std::isfinite(hit.distance));
            EXPECT_GE(hit.distance, 0.0);
            EXPECT_TRUE(std::isfinite(hit.point.x + hit.point.y + hit.point.z));
            const D3DXVECTOR3 bounce = Reflect(ray.direction, BspTriangle{hit.p1, hit.p2, hit.p3});
            EXPECT_TRUE(std::isfinite(bounce.x + bounce.y + bounce.z));
        } else {
            EXPECT_EQ(hit.distance, std::numeric_limits<double>::infinity());
        }
    }
}

}  // namespace

TEST_F(BspFileTest, NodesAreReadInPreOrderFrontBeforeBack) {
    // A with front B and back C; B with back D only: A B 0 D 0 0 C 0 0.
    std::vector<uint8_t> bytes;
    PutNode(&bytes, Level(0)), PutNode(&bytes, Level(1)), PutEmpty(&bytes);
    PutNode(&bytes, Level(3)), PutEmpty(&bytes), PutEmpty(&bytes);
    PutNode(&bytes, Level(2)), PutEmpty(&bytes), PutEmpty(&bytes);
    EXPECT_EQ(bytes.size(), 37u * 4 + 5);
    ASSERT_TRUE(LoadBytes(bytes));
    ASSERT_NE(tree.root, nullptr);
    EXPECT_EQ(tree.root->triangle.p1.z, 0.0f);
    ASSERT_NE(tree.root->front, nullptr);
    EXPECT_EQ(tree.root->front->triangle.p3, D3DXVECTOR3(0, 1, 1));
    EXPECT_EQ(tree.root->front->front, nullptr);
    ASSERT_NE(tree.root->front->back, nullptr);
    EXPECT_EQ(tree.root->front->back->triangle.p2, D3DXVECTOR3(1, 0, 3));
    ASSERT_NE(tree.root->back, nullptr);
    EXPECT_EQ(tree.root->back->triangle.p1.z, 2.0f);
    EXPECT_EQ(tree.root->back->front, nullptr);
    EXPECT_EQ(tree.root->back->back, nullptr);

    ASSERT_TRUE(tree.Save(Wide(path).c_str()));
    EXPECT_EQ(FileBytes(), bytes);
}

TEST_F(BspFileTest, ABuiltTreeComesBackNodeForNode) {
    BspTree built;
    built.Build(RandomSoup(11, 50, 10.0f, 4.0f));
    ASSERT_TRUE(built.Save(Wide(path).c_str()));
    const size_t nodes = built.Shape().nodes;
    EXPECT_EQ(FileBytes().size(), 37 * nodes + nodes + 1);
    ASSERT_TRUE(tree.Load(Wide(path).c_str()));
    // Same triangles in the same pre-order, bit for bit, and the same shape.
    const std::vector<BspTriangle> original = built.Triangles(), loaded = tree.Triangles();
    ASSERT_EQ(loaded.size(), original.size());
    for (size_t i = 0; i < loaded.size(); ++i) {
        EXPECT_EQ(0, std::memcmp(&loaded[i], &original[i], sizeof(BspTriangle))) << "node " << i;
    }
    EXPECT_EQ(tree.Shape().depth, built.Shape().depth);
    std::vector<std::vector<bool>> builtPaths, loadedPaths;
    auto paths = [](const BspTree& t, std::vector<std::vector<bool>>* out) {
        ForEachNode(t, [&](const BspNode&, const std::vector<Ancestor>& path) {
            std::vector<bool> sides;
            for (const Ancestor& a : path) sides.push_back(a.front);
            out->push_back(sides);
        });
    };
    paths(built, &builtPaths);
    paths(tree, &loadedPaths);
    EXPECT_EQ(loadedPaths, builtPaths);
}

TEST_F(BspFileTest, ASingleZeroByteOrNothingIsAnEmptyTree) {
    ASSERT_TRUE(LoadBytes({0}));
    EXPECT_EQ(tree.root, nullptr);
    ASSERT_TRUE(LoadBytes({}));
    EXPECT_EQ(tree.root, nullptr);
    CastAround(tree);
    ASSERT_TRUE(tree.Save(Wide(path).c_str()));
    EXPECT_EQ(FileBytes(), std::vector<uint8_t>{0});
}

TEST_F(BspFileTest, OneNodeWithTwoEmptySubtreesOrCutAfterItsTriangleIsARoot) {
    std::vector<uint8_t> bytes;
    PutNode(&bytes, GroundTriangle());
    for (size_t zeros : {2u, 0u, 1u}) {
        SCOPED_TRACE(zeros);
        std::vector<uint8_t> file = bytes;
        file.insert(file.end(), zeros, 0);
        tree.Clear();
        ASSERT_TRUE(LoadBytes(file));
        ASSERT_NE(tree.root, nullptr);
        EXPECT_EQ(tree.root->triangle.p2, D3DXVECTOR3(1, 0, 0));
        EXPECT_EQ(tree.root->front, nullptr);
        EXPECT_EQ(tree.root->back, nullptr);
    }
    // Any marker other than 0 starts a node.
    bytes[0] = 0xFF;
    bytes.push_back(0);
    bytes.push_back(0);
    tree.Clear();
    ASSERT_TRUE(LoadBytes(bytes));
    EXPECT_EQ(tree.Shape().nodes, 1u);
}

// A file larger than any tree the programs use is refused before anything is read, however
// little of it is on disk.
TEST_F(BspFileTest, AFileLargerThanAMillionNodesIsRefused) {
    ASSERT_TRUE(LoadBytes({0}));
    constexpr uintmax_t kGibibyte = 1ull << 30;
    std::filesystem::resize_file(path, kGibibyte);
    EXPECT_FALSE(tree.Load(Wide(path).c_str()));
    EXPECT_EQ(tree.root, nullptr);
}

TEST_F(BspFileTest, ANodeCutShortIsDropped) {
    std::vector<uint8_t> bytes;
    PutNode(&bytes, GroundTriangle());
    const std::vector<uint8_t> whole = bytes;
    bytes.resize(1 + 20);
    ASSERT_TRUE(LoadBytes(bytes));
    EXPECT_EQ(tree.root, nullptr);
    // A complete root whose front node ends inside its triangle.
    tree.Clear();
    bytes = whole;
    PutNode(&bytes, Level(1));
    bytes.resize(whole.size() + 1 + 10);
    ASSERT_TRUE(LoadBytes(bytes));
    ASSERT_NE(tree.root, nullptr);
    EXPECT_EQ(tree.root->front, nullptr);
    EXPECT_EQ(tree.root->back, nullptr);
}

TEST_F(BspFileTest, AMissingFileLeavesTheTreeEmpty) {
    EXPECT_FALSE(tree.Load(Wide(TempPath("missing.bsp")).c_str()));
    EXPECT_EQ(tree.root, nullptr);
    RayHit hit;
    EXPECT_FALSE(tree.RayCast(Ray{{0, 0, 0}, {0, 0, 1}}, &hit));
}

TEST_F(BspFileTest, NanInfiniteAndDegenerateTrianglesNeverMakeACastFailOrHitNowhere) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<uint8_t> bytes;
    PutNode(&bytes, Tri({0, 0, 0}, {nan, 0, 0}, {0, 1, 0}));
    PutNode(&bytes, Tri({inf, 0, 1}, {1, -inf, 1}, {0, 1, 1}));
    PutNode(&bytes, Tri({1, 1, 1}, {1, 1, 1}, {1, 1, 1}));       // a point
    PutNode(&bytes, Tri({0, 0, -1}, {1, 1, -1}, {2, 2, -1}));    // a line
    PutNode(&bytes, Tri({1e30f, 0, 0}, {0, 1e30f, 0}, {0, 0, 1e30f}));
    PutNode(&bytes, Tri({nan, nan, nan}, {nan, nan, nan}, {nan, nan, nan}));
    bytes.insert(bytes.end(), 7, 0);
    ASSERT_TRUE(LoadBytes(bytes));
    EXPECT_EQ(tree.Shape().nodes, 6u);
    CastAround(tree);
}

TEST_F(BspFileTest, RandomBytesLoadAsSomeTreeThatRaysCanSearch) {
    std::mt19937 random(3);
    for (int file = 0; file < 100; ++file) {
        std::vector<uint8_t> bytes(random() % 3000);
        // Mostly small markers, so that chains and empty subtrees both occur.
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(random() % 4 == 0 ? 0 : random());
        tree.Clear();
        ASSERT_TRUE(LoadBytes(bytes));
        EXPECT_LE(tree.Shape().nodes, bytes.size() / 37);
        CastAround(tree);
    }
}

TEST_F(BspFileTest, AChainAMillionNodesDeepLoadsCastsAndSaves) {
    constexpr int kNodes = 1000000;
    // Each node's front subtree is the next, one hundredth higher; then the million and one
    // empty subtrees.
    std::vector<uint8_t> bytes;
    bytes.reserve(38u * kNodes + 1);
    for (int i = 0; i < kNodes; ++i) PutNode(&bytes, Level(static_cast<float>(i) * 0.01f));
    bytes.insert(bytes.end(), kNodes + 1, 0);
    ASSERT_TRUE(LoadBytes(bytes));
    const BspShape shape = tree.Shape();
    EXPECT_EQ(shape.nodes, static_cast<size_t>(kNodes));
    EXPECT_EQ(shape.depth, static_cast<size_t>(kNodes));

    // From high above, straight down: the walk descends the whole chain to the top level.
    RayHit hit;
    const float top = static_cast<float>(kNodes - 1) * 0.01f;
    ASSERT_TRUE(tree.RayCast(Ray{{0.25f, 0.25f, 1e5f}, {0, 0, -1}}, &hit));
    EXPECT_NEAR(hit.distance, 1e5 - top, 0.01);
    ASSERT_TRUE(tree.RayCast(Ray{{0.25f, 0.25f, -1}, {0, 0, 1}}, &hit));
    EXPECT_NEAR(hit.distance, 1.0, 1e-6);

    ASSERT_TRUE(tree.Save(Wide(path).c_str()));
    EXPECT_TRUE(FileBytes() == bytes);
    tree.Clear();
    EXPECT_EQ(tree.root, nullptr);
}

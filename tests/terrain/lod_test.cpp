#include "terrain/lod_terrain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <utility>

#include "framework/free_camera.h"

namespace {

// Builds a grid in memory, as ReadHeightmap would leave it, with scale 8.
void MakeGrid(int width, int height, const std::function<float(int, int)>& heightAt) {
    GridWidth = width;
    GridHeight = height;
    GridScale = 8;
    TerrainVertices.assign(size_t(width) * height, TerrainVertex{});
    SplitFlags.assign(size_t(width) * height, 0);
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c)
            TerrainVertices[GridIndex(r, c)].position = D3DXVECTOR3(float(c * 8), heightAt(r, c), float(r * 8));
}

class LodTest : public ::testing::Test {
protected:
    void SetUp() override {
        LodCamera = &camera;
        camera.SetPosition(0, 0, 0);
    }
    FreeCamera camera;
};

using Edge = std::pair<int, int>;
Edge MakeEdge(int a, int b) { return a < b ? Edge(a, b) : Edge(b, a); }

// Every edge inside the covered area must belong to exactly two triangles; an edge met once
// there is a crack (or a T-junction, where a whole edge faces two half edges).
void ExpectNoCracks(int coveredSamples) {
    std::map<Edge, int> uses;
    for (const TerrainTriangle& t : TriangleList) {
        ++uses[MakeEdge(t.a, t.b)];
        ++uses[MakeEdge(t.b, t.c)];
        ++uses[MakeEdge(t.c, t.a)];
    }
    const int last = coveredSamples - 1;
    auto onBoundary = [&](int a, int b) {
        const int ra = a / GridWidth, ca = a % GridWidth, rb = b / GridWidth, cb = b % GridWidth;
        return (ra == rb && (ra == 0 || ra == last)) || (ca == cb && (ca == 0 || ca == last));
    };
    for (const auto& [edge, count] : uses) {
        if (onBoundary(edge.first, edge.second)) {
            EXPECT_EQ(count, 1);
        } else {
            ASSERT_EQ(count, 2) << "edge " << edge.first << "-" << edge.second;
        }
    }
}

}  // namespace

TEST_F(LodTest, FlatGridNeverSplits) {
    MakeGrid(256, 256, [](int, int) { return 100.0f; });
    camera.SetPosition(10, 101, 10);
    BuildTriangleList();
    EXPECT_EQ(TriangleList.size(), 450u);  // 15 x 15 top-level blocks of two triangles
}

TEST_F(LodTest, RangeEqualToTheThresholdIsNotRefined) {
    // At distance 0 from the corner the allowed height range is exactly 4.
    float bump = 4.0f;
    MakeGrid(33, 33, [&](int r, int c) { return r == 5 && c == 7 ? bump : 0.0f; });
    EXPECT_FALSE(NeedsSplit(0, 0, 16));
    TerrainVertices[GridIndex(5, 7)].position.y = 4.01f;
    EXPECT_TRUE(NeedsSplit(0, 0, 16));
    // The block's last row and column lie outside its scan.
    TerrainVertices[GridIndex(5, 7)].position.y = 0;
    TerrainVertices[GridIndex(16, 3)].position.y = 50;
    EXPECT_FALSE(NeedsSplit(0, 0, 16));
    // 300 units away the allowed range doubles.
    camera.SetPosition(0, 0, 300);
    TerrainVertices[GridIndex(5, 7)].position.y = 8.0f;
    EXPECT_FALSE(NeedsSplit(0, 0, 16));
}

TEST_F(LodTest, MissingNeighboursCountAsNotSplit) {
    MakeGrid(33, 33, [](int, int) { return 0.0f; });
    for (BYTE& flag : SplitFlags) flag = 1;
    BYTE flags[4];
    EXPECT_FALSE(NeighboursSplit(0, 0, 16, flags));
    EXPECT_EQ(flags[0], 1);  // the block below, rows 16 to 32
    EXPECT_EQ(flags[1], 0);  // above the grid
    EXPECT_EQ(flags[2], 0);  // left of the grid
    EXPECT_EQ(flags[3], 1);
}

TEST_F(LodTest, FanSplitsOnlyTheFlaggedSides) {
    MakeGrid(17, 17, [](int, int) { return 0.0f; });
    const BYTE flags[4] = {1, 0, 0, 1};
    TriangleList.clear();
    EmitFan(0, 0, 16, flags);
    ASSERT_EQ(TriangleList.size(), 6u);
    const int m = GridIndex(8, 8);
    // Side 0 (row 16) is split at its midpoint, side 1 (row 0) is whole.
    EXPECT_EQ(TriangleList[0].a, GridIndex(16, 0));
    EXPECT_EQ(TriangleList[0].b, GridIndex(16, 8));
    EXPECT_EQ(TriangleList[0].c, m);
    EXPECT_EQ(TriangleList[2].a, 0);
    EXPECT_EQ(TriangleList[2].b, m);
    EXPECT_EQ(TriangleList[2].c, GridIndex(0, 16));
}

TEST_F(LodTest, RandomTerrainsHaveNoCracksAndStayWithinBudget) {
    std::mt19937 random(1234);
    for (int trial = 0; trial < 12; ++trial) {
        const int size = trial % 3 == 0 ? 256 : trial % 3 == 1 ? 129 : 65;
        const float roughness = 2.0f + 40.0f * (trial % 4);
        std::uniform_real_distribution<float> noise(0, roughness);
        MakeGrid(size, size, [&](int r, int c) { return noise(random) + float((r * c) % 37); });
        std::uniform_real_distribution<float> where(0, size * 8.0f);
        camera.SetPosition(where(random), 150, where(random));
        BuildTriangleList();
        // A 16k + 1 grid is covered completely; 256 covers samples 0 to 240.
        ExpectNoCracks(size == 256 ? 241 : size);
        EXPECT_LE(TriangleList.size(), size_t(size - 1) * (size - 1) / 2);
        const size_t topBlocks = size_t((size - 1) / 16) * ((size - 1) / 16);
        EXPECT_GT(TriangleList.size(), 2 * topBlocks);  // something was refined
    }
}

TEST_F(LodTest, BorderBlocksStayAtSixteen) {
    MakeGrid(129, 129, [](int r, int c) { return float((r * 31 + c * 17) % 97); });
    camera.SetPosition(64 * 8, 120, 64 * 8);
    BuildTriangleList();
    for (const TerrainTriangle& t : TriangleList) {
        const int corners[3] = {t.a, t.b, t.c};
        int rowSum = 0, columnSum = 0;
        for (int v : corners) rowSum += v / GridWidth, columnSum += v % GridWidth;
        const bool inBorderBlock = rowSum < 48 || columnSum < 48 || rowSum > 3 * 112 || columnSum > 3 * 112;
        if (!inBorderBlock) continue;
        // Whole blocks and fans of size 16 only use corners, edge midpoints and the centre.
        for (int v : corners) {
            EXPECT_EQ(v / GridWidth % 8, 0);
            EXPECT_EQ(v % GridWidth % 8, 0);
        }
    }
}

TEST_F(LodTest, RefinesNearTheCameraAndNotFarAway) {
    // Height ranges of 10 per block: beyond the split threshold near the camera, within it
    // from about 1000 units on.
    MakeGrid(256, 256, [](int r, int c) { return float((r * 13 + c * 7) % 11); });
    camera.SetPosition(40 * 8, 30, 40 * 8);
    BuildTriangleList();
    bool finestNearCamera = false;
    for (const TerrainTriangle& t : TriangleList) {
        const int corners[3] = {t.a, t.b, t.c};
        bool near = true, far = true, coarse = true;
        int lowColumn = GridWidth, highColumn = 0;
        for (int v : corners) {
            const int row = v / GridWidth, column = v % GridWidth;
            near = near && row >= 32 && row <= 48 && column >= 32 && column <= 48;
            far = far && row >= 160 && column >= 160;
            coarse = coarse && row % 8 == 0 && column % 8 == 0;
            lowColumn = std::min(lowColumn, column);
            highColumn = std::max(highColumn, column);
        }
        if (near && highColumn - lowColumn == 2) finestNearCamera = true;  // a block of size 2
        if (far) {
            EXPECT_TRUE(coarse);
        }
    }
    EXPECT_TRUE(finestNearCamera);
}

TEST_F(LodTest, MovingTheCameraWithoutRebuildKeepsTheTriangles) {
    MakeGrid(129, 129, [](int r, int c) { return float((r * 13 + c * 7) % 11); });
    camera.SetPosition(10, 30, 10);
    BuildTriangleList();
    const std::vector<TerrainTriangle> before = TriangleList;
    camera.SetPosition(1000, 30, 1000);
    ASSERT_EQ(TriangleList.size(), before.size());
    EXPECT_EQ(0, std::memcmp(TriangleList.data(), before.data(), before.size() * sizeof(TerrainTriangle)));
    BuildTriangleList();
    EXPECT_NE(TriangleList.size(), before.size());
}

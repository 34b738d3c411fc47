// The camera's ground height: clamping into the terrain and the two triangles of a cell.
#include "programs/flurry/flurry_app.h"

#include <gtest/gtest.h>

#include "terrain/heightmap.h"

namespace {

// A 3 x 3 grid, 8 units apart; heights by (column, row).
void MakeGrid(const float heights[3][3]) {
    GridWidth = 3;
    GridHeight = 3;
    GridScale = 8;
    TerrainVertices.assign(9, TerrainVertex{});
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            TerrainVertices[GridIndex(row, column)].position =
                D3DXVECTOR3(column * 8.0f, heights[row][column], row * 8.0f);
}

class TerrainHeightTest : public ::testing::Test {
protected:
    void TearDown() override { ClearHeightmap(); }
};

TEST_F(TerrainHeightTest, CellSplitsAlongTheDiagonalFromItsRightToItsFarCorner) {
    const float heights[3][3] = {{0, 10, 0}, {20, 100, 0}, {0, 0, 0}};  // [row][column]
    MakeGrid(heights);
    float x = 2, z = 2;  // a quarter into the near triangle
    EXPECT_FLOAT_EQ(TerrainHeightAt(x, z), 7.5f);
    x = 6, z = 6;  // a quarter into the far triangle
    EXPECT_FLOAT_EQ(TerrainHeightAt(x, z), 57.5f);
    x = 8, z = 0;  // on a sample
    EXPECT_FLOAT_EQ(TerrainHeightAt(x, z), 10.0f);
    EXPECT_EQ(x, 8.0f);
    EXPECT_EQ(z, 0.0f);
}

TEST_F(TerrainHeightTest, PointOnTheDiagonalTakesTheNearTriangle) {
    // On the diagonal both triangles agree but for rounding; these heights make the two
    // formulas round apart (near triangle 3.2750001, far triangle 3.2749939).
    const float heights[3][3] = {{0, 13.1f, 0}, {0, 200.3f, 0}, {0, 0, 0}};
    MakeGrid(heights);
    float x = 2, z = 6;  // u = 0.25, v = 0.75
    EXPECT_FLOAT_EQ(TerrainHeightAt(x, z), 3.2750001f);
}

TEST_F(TerrainHeightTest, ClampsThePointOntoTheTerrain) {
    const float heights[3][3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    MakeGrid(heights);
    float x = -40, z = 50;
    EXPECT_FLOAT_EQ(TerrainHeightAt(x, z), 7.0f);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(z, 16.0f);
    x = 1000, z = -0.5f;
    EXPECT_FLOAT_EQ(TerrainHeightAt(x, z), 3.0f);
    EXPECT_EQ(x, 16.0f);
    EXPECT_EQ(z, 0.0f);
    x = 16, z = 16;  // the far corner has no next sample to read
    EXPECT_FLOAT_EQ(TerrainHeightAt(x, z), 9.0f);
}

TEST_F(TerrainHeightTest, NoTerrainMeansGroundZeroAndNoClamping) {
    ClearHeightmap();
    float x = -40, z = 5000;
    EXPECT_EQ(TerrainHeightAt(x, z), 0.0f);
    EXPECT_EQ(x, -40.0f);
    EXPECT_EQ(z, 5000.0f);
}

}  // namespace

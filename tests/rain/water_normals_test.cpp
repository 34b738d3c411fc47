// Vertex normals and the grid layout the water draws.
#include "rain/water_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

const float HalfRoot2 = std::sqrt(0.5f);

struct Surface {
    WaterHeights heights;
    std::vector<WaterVertex> vertices = std::vector<WaterVertex>(WaterVertexCount);
    Surface() {
        std::memset(heights, 0, sizeof heights);
        FillGridVertices(vertices.data());
    }
    const D3DXVECTOR3& Normal(int row, int column) const { return vertices[row * WaterGridSize + column].normal; }
};

void ExpectNormal(const D3DXVECTOR3& normal, float x, float y, float z) {
    EXPECT_NEAR(normal.x, x, 1e-5f);
    EXPECT_NEAR(normal.y, y, 1e-5f);
    EXPECT_NEAR(normal.z, z, 1e-5f);
}

}  // namespace

TEST(WaterNormals, FlatSurfacePointsStraightUp) {
    Surface surface;
    ComputeNormals(surface.heights, surface.vertices.data());
    for (int i = 0; i < WaterVertexCount; ++i) ExpectNormal(surface.vertices[i].normal, 0, 1, 0);
}

TEST(WaterNormals, SlopesTiltAwayFromRisingHeights) {
    // Rising by half a unit per column: with a spacing of 0.5 the slope is 45 degrees, so the
    // normal leans half-way towards -x.
    Surface alongColumns;
    for (int r = 0; r < WaterGridSize; ++r)
        for (int c = 0; c < WaterGridSize; ++c) alongColumns.heights[r][c] = c * 0.5f;
    ComputeNormals(alongColumns.heights, alongColumns.vertices.data());
    ExpectNormal(alongColumns.Normal(40, 40), -HalfRoot2, HalfRoot2, 0);
    ExpectNormal(alongColumns.Normal(0, 0), -HalfRoot2, HalfRoot2, 0);

    Surface alongRows;
    for (int r = 0; r < WaterGridSize; ++r)
        for (int c = 0; c < WaterGridSize; ++c) alongRows.heights[r][c] = r * 0.5f;
    ComputeNormals(alongRows.heights, alongRows.vertices.data());
    ExpectNormal(alongRows.Normal(40, 40), 0, HalfRoot2, -HalfRoot2);
    ExpectNormal(alongRows.Normal(79, 79), 0, HalfRoot2, -HalfRoot2);
}

TEST(WaterNormals, BumpSumsUnnormalisedFaceNormals) {
    Surface surface;
    surface.heights[40][40] = 1.0f;
    ComputeNormals(surface.heights, surface.vertices.data());
    ExpectNormal(surface.Normal(40, 40), 0, 1, 0);  // the top of the bump
    // Each neighbour sums six face normals of which two or three lean away from the bump;
    // the cells' diagonals run from (r, c + 1) to (r + 1, c), which makes the sums lopsided.
    const float length = std::sqrt(3.5f);
    ExpectNormal(surface.Normal(40, 41), 1 / length, 1.5f / length, 0.5f / length);
    ExpectNormal(surface.Normal(40, 39), -1 / length, 1.5f / length, -0.5f / length);
    ExpectNormal(surface.Normal(41, 40), 0.5f / length, 1.5f / length, 1 / length);
    // Corners across the diagonal share no triangle with the bump.
    ExpectNormal(surface.Normal(39, 39), 0, 1, 0);
    ExpectNormal(surface.Normal(41, 41), 0, 1, 0);
    ExpectNormal(surface.Normal(10, 10), 0, 1, 0);
}

TEST(WaterGrid, VerticesAndTrianglesCoverTheGrid) {
    std::vector<WaterVertex> vertices(WaterVertexCount);
    FillGridVertices(vertices.data());
    const WaterVertex& last = vertices[79 * 80 + 78];
    EXPECT_FLOAT_EQ(last.position.x, 39.0f);
    EXPECT_FLOAT_EQ(last.position.z, 39.5f);
    EXPECT_FLOAT_EQ(last.u, 0.975f);
    EXPECT_FLOAT_EQ(last.v, 0.9875f);
    EXPECT_EQ(last.position.y, 0.0f);
    ExpectNormal(last.normal, 0, 0, 0);

    EXPECT_EQ(WaterIndexCount, 37446);
    EXPECT_EQ(WaterTriangleCount, 12482);
    std::vector<WORD> indices(WaterIndexCount);
    FillGridIndices(indices.data());
    const std::vector<WORD> firstCell = {0, 80, 1, 1, 80, 81};
    EXPECT_EQ(std::vector<WORD>(indices.begin(), indices.begin() + 6), firstCell);
    // The second row of cells starts at vertex 80; the last cell ends at the last vertex.
    EXPECT_EQ(indices[79 * 6], 80);
    const std::vector<WORD> lastCell = {6318, 6398, 6319, 6319, 6398, 6399};
    EXPECT_EQ(std::vector<WORD>(indices.end() - 6, indices.end()), lastCell);
}

#include "rain/water_grid.h"

namespace {

constexpr float RippleDamping = 0.04f;

static_assert(WaterVertexCount <= 0x10000, "grid indices are 16 bits");

// The two face normals of each cell in one row of cells: (-S dh/dc, S², -S dh/dr) of the
// triangle (r, c), (r + 1, c), (r, c + 1), and the matching normal of (r, c + 1), (r + 1, c),
// (r + 1, c + 1).
struct CellFaces {
    D3DXVECTOR3 first, second;
};

void ComputeRowFaces(const WaterHeights& heights, int r, CellFaces* faces) {
    constexpr float S = WaterSpacing;
    for (int c = 0; c < WaterCellsPerSide; ++c) {
        const float h00 = heights[r][c], h01 = heights[r][c + 1];
        const float h10 = heights[r + 1][c], h11 = heights[r + 1][c + 1];
        faces[c].first = D3DXVECTOR3(-S * (h01 - h00), S * S, -S * (h10 - h00));
        faces[c].second = D3DXVECTOR3(S * (h10 - h11), S * S, S * (h01 - h11));
    }
}

// The sum of the face normals around vertex (r, c), added in the order of a pass over the
// cells row by row that adds each cell's first face to its three corners, then its second:
// the cell above-left touches the vertex with its second face, the cell above and the cell
// to the left with both, the cell below-right with its first.
D3DXVECTOR3 SumAroundVertex(const CellFaces* above, const CellFaces* below, int c) {
    D3DXVECTOR3 sum(0, 0, 0);
    if (above && c > 0) sum += above[c - 1].second;
    if (above && c < WaterCellsPerSide) {
        sum += above[c].first;
        sum += above[c].second;
    }
    if (below && c > 0) {
        sum += below[c - 1].first;
        sum += below[c - 1].second;
    }
    if (below && c < WaterCellsPerSide) sum += below[c].first;
    return sum;
}

}  // namespace

// Each cell reads only its own height in `current` and its neighbours in `previous`, so the
// order of the cells does not change the result; rows outer keeps the reads sequential.
void RippleStep(WaterHeights& current, const WaterHeights& previous) {
    for (int r = 1; r < WaterGridSize - 1; ++r) {
        for (int c = 1; c < WaterGridSize - 1; ++c) {
            const float v =
                (previous[r - 1][c] + previous[r][c + 1] + previous[r + 1][c] + previous[r][c - 1]) * 0.5f -
                current[r][c];
            current[r][c] = v - v * RippleDamping;
        }
    }
}

void ComputeNormals(const WaterHeights& heights, WaterVertex* vertices) {
    CellFaces rows[2][WaterCellsPerSide];
    for (int r = 0; r < WaterGridSize; ++r) {
        const CellFaces* above = r > 0 ? rows[(r - 1) % 2] : nullptr;
        CellFaces* below = r < WaterCellsPerSide ? rows[r % 2] : nullptr;
        if (below) ComputeRowFaces(heights, r, below);
        for (int c = 0; c < WaterGridSize; ++c) {
            D3DXVECTOR3& normal = vertices[r * WaterGridSize + c].normal;
            normal = SumAroundVertex(above, below, c);
            D3DXVec3Normalize(&normal, &normal);
        }
    }
}

void FillGridVertices(WaterVertex* vertices) {
    for (int r = 0; r < WaterGridSize; ++r) {
        for (int c = 0; c < WaterGridSize; ++c) {
            WaterVertex& vertex = vertices[r * WaterGridSize + c];
            vertex.position = D3DXVECTOR3(c * WaterSpacing, 0, r * WaterSpacing);
            vertex.normal = D3DXVECTOR3(0, 0, 0);
            vertex.u = c * WaterTextureStep;
            vertex.v = r * WaterTextureStep;
        }
    }
}

void FillGridIndices(WORD* indices) {
    int i = 0;
    for (int r = 0; r < WaterCellsPerSide; ++r) {
        for (int c = 0; c < WaterCellsPerSide; ++c) {
            const WORD b = WORD(r * WaterGridSize + c);
            const WORD below = WORD(b + WaterGridSize);
            indices[i++] = b;
            indices[i++] = below;
            indices[i++] = WORD(b + 1);
            indices[i++] = WORD(b + 1);
            indices[i++] = below;
            indices[i++] = WORD(below + 1);
        }
    }
}

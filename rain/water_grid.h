// The water's height field as plain arrays, and the two per-step passes over it: the
// two-buffer ripple recurrence and the vertex normals. Free of any device, so the
// simulation can be checked and timed on its own.
#pragma once

#include <d3dx9.h>

constexpr int WaterGridSize = 80;          // vertices per side
constexpr float WaterSpacing = 0.5f;       // world units between neighbouring vertices
constexpr float WaterTextureStep = 0.0125f;
constexpr int WaterVertexCount = WaterGridSize * WaterGridSize;
constexpr int WaterCellsPerSide = WaterGridSize - 1;
constexpr int WaterTriangleCount = WaterCellsPerSide * WaterCellsPerSide * 2;
constexpr int WaterIndexCount = WaterTriangleCount * 3;
constexpr DWORD WaterFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

// Indexed [row][column].
typedef float WaterHeights[WaterGridSize][WaterGridSize];

struct WaterVertex {
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
    float u, v;
};
static_assert(sizeof(WaterVertex) == 32, "the vertex buffer's stride is 32 bytes");

// One ripple step: each interior height becomes half the sum of its four neighbours in
// `previous`, minus its own value in `current`, damped by 4 percent. The border rows and
// columns are left as they are.
void RippleStep(WaterHeights& current, const WaterHeights& previous);

// Vertex normals of the surface `heights`: the sum of the unnormalised normals of the up to
// six triangles around each vertex, normalised once.
void ComputeNormals(const WaterHeights& heights, WaterVertex* vertices);

// The flat grid: positions x = column × spacing, z = row × spacing, texture coordinates
// from 0 to 0.9875; heights and normals zero.
void FillGridVertices(WaterVertex* vertices);

// Two triangles per cell, rows outer and columns inner.
void FillGridIndices(WORD* indices);

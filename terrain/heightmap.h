// The terrain's vertex grid, read from an 8-bit greyscale bitmap: one vertex per pixel,
// GridScale units apart on the ground, with the pixel value as height.
#pragma once

#include <d3dx9.h>

#include <vector>

// 32 bytes, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1.
struct TerrainVertex {
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
    float tu, tv;
};
static_assert(sizeof(TerrainVertex) == 32);
constexpr DWORD TerrainVertexFormat = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

// Vertex indices are 16-bit, so a grid holds at most 256 x 256 samples.
constexpr int MaxGridSamples = 65536;

// One terrain per process.
extern int GridWidth;
extern int GridHeight;
extern int GridScale;
extern std::vector<TerrainVertex> TerrainVertices;  // row-major: index = row * GridWidth + column
extern std::vector<BYTE> SplitFlags;                // one mark per sample, same layout

inline int GridIndex(int row, int column) { return row * GridWidth + column; }
inline BYTE& SplitFlag(int row, int column) { return SplitFlags[GridIndex(row, column)]; }

// Reads the heightmap into the grid and computes the normals. The bitmap's 8-bit pixels may be
// stored plain or run-length encoded (RLE8). A file that is missing or that cannot be read as
// an 8-bit bitmap is reported with a message box and leaves the grid empty (returns false).
bool ReadHeightmap(const wchar_t* path);

// Recomputes every vertex normal from the heights: each cell is split along the diagonal from
// (r + 1, c) to (r, c + 1) and the unnormalised face normals are summed at the corners.
void ComputeNormals();

// Forgets the grid (width and height 0).
void ClearHeightmap();

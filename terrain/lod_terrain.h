// Quadtree level-of-detail terrain over the heightmap grid. The vertex buffer holds every
// sample once; RebuildLod rewrites the index list from blocks of size 16 down to 2, refining
// where the height range is large for the distance to the camera, and draws blocks beside
// finer neighbours as fans split where the neighbour is split, so no cracks open.
#pragma once

#include <d3d9.h>

#include <vector>

#include "terrain/heightmap.h"

class FreeCamera;

struct TerrainTriangle {
    WORD a, b, c;
};

extern FreeCamera* LodCamera;
extern IDirect3DDevice9* TerrainDevice;
extern IDirect3DVertexBuffer9* TerrainVertexBuffer;
extern IDirect3DIndexBuffer9* TerrainIndexBuffer;
extern IDirect3DTexture9* TerrainTexture;
extern std::vector<TerrainTriangle> TriangleList;

// Reads the heightmap, creates the buffers and the texture and builds the first level of
// detail. Without a usable heightmap (already reported) nothing is created and nothing drawn.
void LoadTerrain(IDirect3DDevice9* device, FreeCamera* camera, const wchar_t* heightmapPath,
                 const wchar_t* texturePath, int scale);
// Rebuilds the triangle list for the camera's current position and uploads it.
void RebuildLod();
// Draws the terrain with the last built list; returns the number of triangles.
int DrawTerrain();
// Releases the buffers, the texture and the grid.
void ReleaseTerrain();

// The pieces of the rebuild, exposed for tests.
bool NeedsSplit(int row, int column, int size);
bool NeighboursSplit(int row, int column, int size, BYTE flags[4]);
void EmitBlock(int row, int column, int size);
void EmitFan(int row, int column, int size, const BYTE flags[4]);
// The triangle list for the camera position, without touching the device.
void BuildTriangleList();

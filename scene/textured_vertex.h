// The vertex of the scene's flat textured geometry (sky faces, ground, minimap): a position
// and one pair of texture coordinates.
#pragma once

#include <d3d9.h>

struct TexturedVertex {
    float x, y, z;
    float u, v;
};
static_assert(sizeof(TexturedVertex) == 20, "textured vertices are five floats");
constexpr DWORD kTexturedVertexFormat = D3DFVF_XYZ | D3DFVF_TEX1;

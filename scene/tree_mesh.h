// The tree every tree of the scene shares: a ready-made mesh of textured subsets read from a
// .mesh file. There is one copy on the device; to show many trees the program moves its
// vertices to each tree's place in turn and draws it there.
//
// The file (little-endian, no padding): face count F, vertex count V, texture count T (32-bit
// unsigned each); T faces-per-texture counts; T texture names, each a 32-bit length L and L
// UTF-16 code units (the name ends at its first NUL); V vertices of u, v, x, y, z (floats);
// 3F 16-bit vertex indices; F 32-bit subset ids.
#pragma once

#include <d3dx9.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bsp/bsp_geometry.h"

// The mesh's vertex: position first, texture coordinates last (the file stores them first).
struct TreeVertex {
    float x, y, z;
    float u, v;
};
static_assert(sizeof(TreeVertex) == 20, "tree vertices are five floats");
constexpr DWORD kTreeVertexFormat = D3DFVF_XYZ | D3DFVF_TEX1;

// The most textures (and so subsets, each drawn every frame) a tree file may have: a tree is
// bark and leaves, a handful of textures at most.
constexpr uint32_t kMaxTreeTextures = 256;

// The longest texture name a tree file may hold, in UTF-16 code units.
constexpr uint32_t kMaxTextureNameUnits = 1024;

// A tree file's contents once checked: every count within what the file holds, every index
// below the vertex count, every subset id below the texture count.
struct TreeMeshFile {
    uint32_t faceCount = 0;
    uint32_t vertexCount = 0;
    std::vector<uint32_t> facesPerTexture;
    std::vector<std::wstring> textureNames;
    std::vector<TreeVertex> vertices;
    std::vector<uint16_t> indices;
    std::vector<uint32_t> attributes;
};

// Nothing when the bytes are not a whole, consistent tree file.
std::optional<TreeMeshFile> ParseTreeMesh(const std::vector<uint8_t>& bytes);

class TreeMesh {
public:
    TreeMesh() = default;
    ~TreeMesh();
    TreeMesh(const TreeMesh&) = delete;
    TreeMesh& operator=(const TreeMesh&) = delete;

    // Reads the file into a new mesh at (0, 0, 0); false (and no mesh) when the file is
    // missing or malformed. A texture that cannot be loaded leaves its subset untextured.
    bool Load(IDirect3DDevice9* targetDevice, const wchar_t* path, float initialScale);
    // Each subset with its own texture; sets no material.
    void Draw();
    // Scales the vertices about the origin of the coordinates.
    void Rescale(float newScale);
    // Moves the vertices by the step from the current position; without a mesh only the
    // position is kept.
    void Move(const D3DXVECTOR3& newPosition);

    bool Lock();
    void Unlock();
    // The three corners of face f while locked.
    BspTriangle Face(DWORD face) const;
    void Release();

    ID3DXMesh* mesh = nullptr;
    float scale = 1.0f;
    unsigned int textureCount = 0;
    std::vector<DWORD> facesPerTexture;
    unsigned int faceCount = 0;
    unsigned int vertexCount = 0;
    D3DXVECTOR3 position = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    std::vector<IDirect3DTexture9*> textures;
    IDirect3DDevice9* device = nullptr;
    uint16_t* lockedIndices = nullptr;
    TreeVertex* lockedVertices = nullptr;

private:
    template <typename Change>
    void ChangePositions(Change change);
};

// One X-file mesh with its materials and textures, placed in the world by rewriting its
// vertices (scale about its position, a turn about the world's x axis, a move), so ray casts
// and BSP trees can use the vertex positions directly.
#pragma once

#include <d3dx9.h>

#include <vector>

#include "bsp/bsp_geometry.h"

// Scales closer to zero than this are not applied (see Rescale).
constexpr float kSmallestScale = 0.001f;

class MeshModel {
public:
    MeshModel() = default;
    ~MeshModel();
    MeshModel(const MeshModel&) = delete;
    MeshModel& operator=(const MeshModel&) = delete;

    // Loads folder + fileName (each material's texture from the same folder). A mesh that
    // cannot be loaded leaves the model without subsets, after a message naming its path; a
    // texture that cannot be loaded leaves its subset untextured, after a message.
    void Load(IDirect3DDevice9* device, const wchar_t* folder, const wchar_t* fileName);
    // Each subset with its texture, and with its material when useMaterials is set.
    void Draw(bool useMaterials);
    // Scales the vertices about the position from the current scale to the new one; a new
    // scale within kSmallestScale of zero leaves the model as it is.
    void Rescale(float newScale);
    // Turns every vertex about the world's x axis (not about the position).
    void RotateX(float angle);
    void Move(const D3DXVECTOR3& newPosition);

    // Vertex and index access for gathering triangles: Lock, then FaceCount and Face, Unlock.
    bool Lock();
    void Unlock();
    DWORD FaceCount() const;
    BspTriangle Face(DWORD face) const;
    // Releases the mesh and the textures (the model then has no subsets).
    void Release();

    unsigned int materialCount = 0;
    ID3DXMesh* mesh = nullptr;
    IDirect3DDevice9* device = nullptr;
    std::vector<D3DMATERIAL9> materials;
    std::vector<IDirect3DTexture9*> textures;
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    D3DXVECTOR3 position = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    BYTE* lockedVertices = nullptr;
    void* lockedIndices = nullptr;
    int indexSize = 16;
    float scale = 1.0f;

private:
    D3DXVECTOR3& VertexPosition(DWORD vertex) const;
    // Runs change on the position of every vertex; false when the vertices cannot be locked.
    template <typename Change>
    bool ChangePositions(Change change);
};

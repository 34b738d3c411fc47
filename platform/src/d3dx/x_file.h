// X files: what the reader takes from a file (every mesh of the file placed in world space,
// with its materials) and how D3DXLoadMeshFromX turns that into one mesh.
#pragma once

#include <d3dx9.h>

#include "d3dx/image.h"

#include <optional>
#include <string>
#include <vector>

namespace platform::d3dx {

// Every field starts at zero (D3DX vectors do not initialise themselves).
struct XVertex {
    D3DXVECTOR3 position = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    D3DXVECTOR3 normal = D3DXVECTOR3(0.0f, 0.0f, 0.0f);  // stays zero where the mesh has no normals
    D3DXVECTOR2 texCoord = D3DXVECTOR2(0.0f, 0.0f);      // stays zero without texture coordinates
    D3DCOLOR colour = 0;  // kNoVertexColour where the mesh has no colour for it
};

// The colour D3DX gives a vertex that its mesh does not colour: white with alpha 0.
constexpr D3DCOLOR kNoVertexColour = 0x00FFFFFF;

struct XMaterial {
    D3DMATERIAL9 material{};
    std::optional<std::string> textureFile;  // exactly as the file writes it
};

// The file's meshes merged as D3DX merges them, before the faces are sorted by material.
struct XScene {
    std::vector<XMaterial> materials;
    // Mesh by mesh in the order the frames are walked; each mesh's vertices in file order,
    // then the copies that other normals of the same position force.
    std::vector<XVertex> vertices;
    std::vector<DWORD> indices;     // three per triangle, mesh by mesh, each polygon fanned
    std::vector<DWORD> attributes;  // one per triangle: its material in `materials`
    bool hasNormals = false;
    bool hasTexCoords = false;
    bool hasColours = false;
};

// A scene, or why the file gives none (one line, in English, for the program's log).
struct XReadResult {
    std::optional<XScene> scene;
    std::string error;
};

// Reads a text, binary or compressed X file held in memory.
XReadResult ReadXFile(Bytes file);

// The flexible vertex format of the merged mesh.
DWORD XSceneFvf(const XScene& scene);

// The mesh as D3DX builds it: faces sorted by material (stable), vertices as the scene has
// them, one attribute range per material used.
HRESULT BuildXMesh(const XScene& scene, DWORD options, IDirect3DDevice9* device, ID3DXMesh** mesh);

// The D3DXMATERIAL array with the texture names stored after it, as one buffer.
ID3DXBuffer* MakeMaterialBuffer(const std::vector<XMaterial>& materials);

}  // namespace platform::d3dx

// X files: what the reader takes from a file (every polygon of every mesh in world space,
// with its material) and how D3DXLoadMeshFromX turns that into one mesh.
#pragma once

#include <d3dx9.h>

#include "d3dx/image.h"

#include <optional>
#include <string>
#include <vector>

namespace platform::d3dx {

// Every field starts at zero (D3DX vectors do not initialise themselves): a vertex is compared
// byte for byte when vertices are shared.
struct XVertex {
    D3DXVECTOR3 position = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    D3DXVECTOR3 normal = D3DXVECTOR3(0.0f, 0.0f, 0.0f);  // stays zero where the mesh has no normals
    D3DXVECTOR2 texCoord = D3DXVECTOR2(0.0f, 0.0f);      // stays zero without texture coordinates
    D3DCOLOR colour = 0;  // kNoVertexColour where the mesh has no vertex colours
};

// The colour D3DX gives a vertex that its mesh does not colour: white with alpha 0.
constexpr D3DCOLOR kNoVertexColour = 0x00FFFFFF;

struct XPolygon {
    DWORD material = 0;
    std::vector<XVertex> corners;  // in the file's winding order, three or more
};

struct XMaterial {
    D3DMATERIAL9 material{};
    std::optional<std::string> textureFile;  // as the file writes it
};

struct XScene {
    std::vector<XMaterial> materials;
    // Mesh by mesh in file order, each mesh's polygons in file order.
    std::vector<XPolygon> polygons;
    bool hasNormals = false;
    bool hasTexCoords = false;
    bool hasColours = false;
};

// Reads a text, binary or compressed X file; nothing for data that is not a valid X file.
// assimp reads it in a child process with bounded memory and time, so that no file can crash,
// exhaust or stall the program (unless IsolateXReader is false).
std::optional<XScene> ReadXFile(Bytes file);
// Whether ReadXFile reads in a child process; a fuzzer turns it off to see into the reading.
extern bool IsolateXReader;

// assimp's reading of a prepared file in this process, on a stack deep enough for the frames
// it can nest, and the size of that stack.
std::optional<XScene> ImportXScene(Bytes prepared);
size_t ImportStackSize(Bytes prepared);

// The file as assimp is given it (a text or binary X file, inflated when it was compressed,
// with a blank after each comma that a digit follows in text); nothing when it is not an X
// file or its compressed blocks do not inflate.
std::optional<std::vector<uint8_t>> PrepareXFile(Bytes file);
// How often the bytes spell "Frame": no X file can nest frames deeper than that.
size_t FrameNamesIn(Bytes file);

// The flexible vertex format of the merged mesh.
DWORD XSceneFvf(const XScene& scene);

// The mesh as D3DX builds it: faces sorted by material (stable), polygons split into fans
// (v0, vi, vi+1), each position's vertex first and the copies that other normals, texture
// coordinates or colours force appended after all of them; one attribute range per material.
HRESULT BuildXMesh(const XScene& scene, DWORD options, IDirect3DDevice9* device, ID3DXMesh** mesh);

// The D3DXMATERIAL array with the texture names stored after it, as one buffer.
ID3DXBuffer* MakeMaterialBuffer(const std::vector<XMaterial>& materials);

}  // namespace platform::d3dx

// One MD2 file loaded for drawing: its key frames decoded into floating-point vertices, its
// command list of strips and fans, a vertex buffer for one command at a time and the skin
// found by file name. Drawing blends two key frames on the processor.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>
#include <vector>

#include "md2/md2_file.h"

// What one command sends to the device: 32 bytes, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1.
struct Md2DrawVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
static_assert(sizeof(Md2DrawVertex) == 32);
constexpr DWORD Md2DrawVertexFormat = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

class Md2Mesh {
public:
    explicit Md2Mesh(IDirect3DDevice9* device);
    ~Md2Mesh();
    Md2Mesh(const Md2Mesh&) = delete;
    Md2Mesh& operator=(const Md2Mesh&) = delete;

    // Stores scale, then loads the geometry and, only if that worked, the skin. True when
    // both paths are given and both loaded.
    bool Load(const wchar_t* md2Path, const wchar_t* skinPath, float scale);
    // Reads the file and creates the vertex buffer; a file that is missing, not an MD2
    // version 8 file or inconsistent in any way leaves the mesh empty and returns false.
    bool LoadGeometry(const wchar_t* md2Path);
    // Loads the skin texture and turns on linear filtering; a failure says so in a box.
    bool LoadSkin(const wchar_t* skinPath);

    // Draws key frames a and b blended by weight w (0 gives a), textured with the skin or
    // untextured. An empty mesh, or frames it does not have, draw nothing.
    void Draw(int a, int b, float w, bool textured);

    // True once the geometry has loaded: the mesh has frames and can be drawn.
    bool HasGeometry() const { return frameCount > 0; }

    int frameCount = 0;
    int commandWords = 0;
    std::vector<int32_t> commands;
    std::vector<Md2FrameVertex> frameVertices;
    std::vector<Md2DrawVertex> drawVertices;
    int frameSize = 0;
    int vertexCount = 0;
    IDirect3DDevice9* device;
    IDirect3DTexture9* skin = nullptr;
    float scale = 0.1f;
    IDirect3DVertexBuffer9* vertexBuffer = nullptr;

private:
    void DrawCommand(const Md2FrameVertex* frameA, const Md2FrameVertex* frameB, float w, const int32_t* words,
                     int vertices, bool fan);
};

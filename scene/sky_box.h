// The sky: a textured cube of half-size a that always stands centred on the camera, so the
// sky never comes nearer. Each face is its own quad with its own picture from a folder of six
// JPEG files named after the axis directions.
#pragma once

#include <d3d9.h>
#include <d3dx9.h>

#include <array>

#include "scene/textured_vertex.h"

// One face: its picture's file name format (%s is the folder) and its four corners, drawn as a
// triangle strip, with positions in units of the half-size. The +z picture lies on the plane
// z = -a and the -z picture on z = +a; the x and y pictures on the planes of their own sign.
struct SkyFace {
    const wchar_t* pictureFormat;
    TexturedVertex corners[4];
};

constexpr int kSkyFaceCount = 6;
constexpr std::array<SkyFace, kSkyFaceCount> kSkyFaces = {{
    {L"%s\\+z.jpg", {{-1, -1, -1, 0, 1}, {1, -1, -1, 1, 1}, {-1, 1, -1, 0, 0}, {1, 1, -1, 1, 0}}},
    {L"%s\\-z.jpg", {{-1, -1, 1, 1, 1}, {-1, 1, 1, 1, 0}, {1, -1, 1, 0, 1}, {1, 1, 1, 0, 0}}},
    {L"%s\\-x.jpg", {{-1, -1, -1, 1, 1}, {-1, 1, -1, 1, 0}, {-1, -1, 1, 0, 1}, {-1, 1, 1, 0, 0}}},
    {L"%s\\+x.jpg", {{1, -1, -1, 0, 1}, {1, -1, 1, 1, 1}, {1, 1, -1, 0, 0}, {1, 1, 1, 1, 0}}},
    {L"%s\\+y.jpg", {{-1, 1, -1, 1, 0}, {1, 1, -1, 0, 0}, {-1, 1, 1, 1, 1}, {1, 1, 1, 0, 1}}},
    {L"%s\\-y.jpg", {{-1, -1, -1, 1, 1}, {-1, -1, 1, 1, 0}, {1, -1, -1, 0, 1}, {1, -1, 1, 0, 0}}},
}};

class SkyBox {
public:
    SkyBox() = default;
    ~SkyBox();
    SkyBox(const SkyBox&) = delete;
    SkyBox& operator=(const SkyBox&) = delete;

    // Makes the six quads of half-size `halfSize` and loads their pictures from the folder; a
    // picture that cannot be loaded leaves its face untextured.
    void Create(IDirect3DDevice9* targetDevice, const wchar_t* folder, float halfSize);
    // Draws the cube around the camera, changing no render state; the world matrix and
    // stage 0's addressing are as before afterwards, its texture null. The pictures are
    // clamped at their edges while they are drawn, so the cube's edges show no seams.
    void Draw(const D3DXVECTOR3& camera);
    void Release();

    IDirect3DDevice9* device = nullptr;
    float halfSize = 0.0f;
    IDirect3DVertexBuffer9* buffers[kSkyFaceCount] = {};
    IDirect3DTexture9* textures[kSkyFaceCount] = {};
};

// The minimap in the top-right corner: an octagon showing the ground's map picture around
// the camera (one pixel per world unit), framed by a square picture and marked at its middle
// by a small picture turned with the camera's heading. A click inside its square switches it
// between a small and a large size; the radius glides to the new size.
#pragma once

#include <d3dx9.h>

#include "framework/free_camera.h"
#include "scene/textured_vertex.h"

// The octagon's middle and its nine rim vertices (the last repeats the first).
constexpr int kDiscVertexCount = 10;

class Minimap {
public:
    Minimap() = default;
    ~Minimap();
    Minimap(const Minimap&) = delete;
    Minimap& operator=(const Minimap&) = delete;

    void Create(IDirect3DDevice9* targetDevice, IDirect3DTexture9* map, const wchar_t* framePath,
                const wchar_t* markerPath);
    // The click toggle, the glide towards the target radius, and the vertices for this frame.
    void Update(const FreeCamera& camera);
    // Update, then the disc, the frame and the marker in pixel units over the scene.
    void Draw(const FreeCamera& camera);
    void Release();

    IDirect3DDevice9* device = nullptr;
    IDirect3DTexture9* frameTexture = nullptr;
    IDirect3DTexture9* mapTexture = nullptr;  // the ground's, not owned
    IDirect3DTexture9* markerTexture = nullptr;
    IDirect3DVertexBuffer9* discBuffer = nullptr;
    IDirect3DVertexBuffer9* frameBuffer = nullptr;
    IDirect3DVertexBuffer9* markerBuffer = nullptr;
    float radius = 0.0f;
    float targetRadius = 0.0f;
    float centreX = 0.0f;
    float centreY = 0.0f;
    bool nextIsLarge = true;
    bool clickLatch = true;

private:
    void Toggle(int width, int height);
    void PlaceCentre(int width, int height);
    void FillDisc(const D3DXVECTOR3& camera);
    void FillQuads(float yaw);
};

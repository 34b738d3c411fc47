// glasshall: one of nine animated MD2 characters stands in front of a mirror wall. The model
// is drawn three times a frame: reflected in the mirror (only where the mirror shows on
// screen, found with the stencil buffer), flattened onto the floor as a half-transparent black
// shadow (each pixel darkened once), and as itself.
// Keys: N shows the next character; 1-9, Z, X, C, V, B, O and P play animations 0 to 15;
// L and K swing the light (and the shadow) towards -x and +x; W/S/A/D and a right-button
// drag fly the camera; F1 wireframe; holding the left button shows the cursor position.
#pragma once

#include <windows.h>

#include <d3d9.h>
#include <d3dx9.h>

#include <memory>

#include "framework/app_shell.h"
#include "framework/free_camera.h"
#include "framework/text_font.h"
#include "md2/md2_actor.h"
#include "md2/md2_model.h"

constexpr int ModelCount = 9;
constexpr int StartModel = 6;

// The floor and the mirror wall: position and normal, 24 bytes.
struct SceneVertex {
    float x, y, z;
    float nx, ny, nz;
};
static_assert(sizeof(SceneVertex) == 24);
constexpr DWORD SceneVertexFormat = D3DFVF_XYZ | D3DFVF_NORMAL;
constexpr int SceneVertexCount = 8;
extern const SceneVertex SceneVertices[SceneVertexCount];

// The mirror is the wall's plane x = 10; the shadow falls on the floor's plane y = -2.5.
extern const D3DXPLANE MirrorPlane;
extern const D3DXPLANE GroundPlane;

class GlasshallApp : public AppShell {
public:
    explicit GlasshallApp(HINSTANCE instance);

    void Init() override;
    void Frame() override;
    void Cleanup() override;

    // N, the sixteen animation keys, then L and K, once per frame.
    void HandleKeys();
    // Floor, wall, the wall again into the stencil, and the reflected model inside it.
    void DrawMirror();
    // The model's shadow on the floor, outside the mirror.
    void DrawShadow();

    IDirect3DVertexBuffer9* sceneBuffer = nullptr;
    FreeCamera camera;
    Md2Actor actors[ModelCount];
    std::unique_ptr<Md2Model> models[ModelCount];
    D3DMATERIAL9 material{};
    D3DMATERIAL9 shadowMaterial{};
    D3DLIGHT9 light{};
    TextFont font;
    int current = 0;
    // Towards the light; w = 0 makes it a direction. x is what L and K change.
    D3DXVECTOR4 lightVector{1, -1, -1, 0};

private:
    void CreateScene();
    void LoadModels();
    void AimLight();
};

// Set while N is up, so holding N shows only the next model.
extern bool NextModelLatch;

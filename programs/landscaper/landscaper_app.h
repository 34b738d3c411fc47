// landscaper: a small scene editor. Mesh objects and trees stand on a textured ground under
// a sky box; click an object or a tree to pick it (the ray under the cursor is cast into a
// BSP tree rebuilt from the scene), move the mouse to drag it over the ground, hold keypad +
// or - to resize an object, right button to let go, T to plant a tree under the cursor, F5
// to save the scene back to its two files. A minimap in the top-right corner shows where the
// camera is; click it to make it larger or smaller. W/S/A/D fly, right-drag looks around, F1
// shows the wireframe, Escape quits.
#pragma once

#include <d3dx9.h>

#include "bsp/bsp_tree.h"
#include "framework/app_shell.h"
#include "framework/free_camera.h"
#include "framework/text_font.h"
#include "scene/minimap.h"
#include "scene/scene.h"
#include "scene/sky_box.h"

constexpr float kSkyHalfSize = 2048.0f;

class LandscaperApp : public AppShell {
public:
    explicit LandscaperApp(HINSTANCE instance);

    void Init() override;
    void Frame() override;
    void Cleanup() override;

    FreeCamera camera;
    Scene scene;
    SkyBox sky;
    Minimap minimap;
    D3DMATERIAL9 material{};
    D3DLIGHT9 light{};
    TextFont overlayFont;
    BspTree tree;

private:
    void SetBlendStates();
};

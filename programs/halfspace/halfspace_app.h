// halfspace: a computer mouse loaded from an X file, and a yellow ball shot from the camera
// with Space. The shot is cast into a BSP tree of the same mesh read from mouse.bsp; the
// ball flies to the triangle it strikes, stops short of it by its radius and bounces off
// in the mirrored direction. W/S/A/D fly, right-drag looks around, F1 shows the wireframe,
// a left click shows the cursor position, Escape quits.
#pragma once

#include <d3dx9.h>

#include "bsp/bsp_tree.h"
#include "bsp/mesh_model.h"
#include "framework/app_shell.h"
#include "framework/free_camera.h"
#include "framework/text_font.h"
#include "programs/halfspace/ball.h"

// The mouse mesh is stored a hundred times larger than the scene, with its up along the
// file's z axis: the program scales it down and turns it a quarter turn about x.
constexpr float kMouseScale = 0.01f;
constexpr float kQuarterTurn = 1.5707964f;
constexpr float kBallRadius = 0.05f;
constexpr float kBallSpeed = 10.0f;  // units per second

class HalfspaceApp : public AppShell {
public:
    explicit HalfspaceApp(HINSTANCE instance);

    void Init() override;
    void Frame() override;
    void Cleanup() override;

    FreeCamera camera;
    MeshModel mouse;
    BspTree tree;
    Ball ball;
    D3DMATERIAL9 material{};
    D3DLIGHT9 light{};
    TextFont overlayFont;
    BspTriangle lastHit{};

private:
    void PlaceBallAtRest();
    // Casts the view ray into the tree and launches the ball along it.
    void Fire();
};

// tether: a rope of 80 point masses hangs from a held end over a white floor, drawn with its
// shadow as thick lines; the text in the corner follows the rope's second point.
// Keys: arrows move the held end along x (up/down) and z (left/right), Home lifts it, End
// lowers it down to 0.5; W/S/A/D and a right-button drag fly the camera; F1 wireframe.
#pragma once

#include <windows.h>

#include <d3d9.h>
#include <d3dx9.h>

#include <cstddef>
#include <memory>

#include "framework/app_shell.h"
#include "framework/free_camera.h"
#include "framework/text_font.h"
#include "programs/tether/tether_rope.h"
#include "rope/rope.h"

// The held end's speed under the keys, in units per second, and the lowest height End
// takes it to.
constexpr float kHeldEndSpeed = 12.0f;
constexpr float kHeldEndLowest = 0.5f;

// Applies the arrow, Home and End keys of a keyboard snapshot (DIK_ codes, down while the
// high bit is set) to the held end over a frame of the given seconds. Each key acts on its
// own, so opposite keys cancel.
void MoveHeldEnd(D3DXVECTOR3* heldEnd, const BYTE keyboard[256], double seconds);

// The corner text for a rope point: "x,y,z" with six decimals each.
void FormatRopePoint(const D3DXVECTOR3& point, wchar_t* text, size_t capacity);

class TetherApp : public AppShell {
public:
    explicit TetherApp(HINSTANCE instance);

    void Init() override;
    void Frame() override;
    void Cleanup() override;

    IDirect3DVertexBuffer9* floorBuffer = nullptr;
    std::unique_ptr<Rope> rope;
    FreeCamera camera;
    TextFont overlayFont;

    // Copied from the rope every frame; the shadow keeps its own height.
    D3DXVECTOR3 ropePoints[kRopeMassCount] = {};
    D3DXVECTOR3 shadowPoints[kRopeMassCount] = {};

private:
    void DrawFloor();
    void DrawRopeAndShadow();
};

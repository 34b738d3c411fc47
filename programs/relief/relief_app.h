// relief: a textured, lit heightmap landscape drawn with quadtree level of detail.
// W/S/A/D fly, right-drag looks around, F1 shows the wireframe, a left click shows the
// cursor position, Escape quits. The triangle count is shown beside the frame rate.
#pragma once

#include <d3dx9.h>

#include "framework/app_shell.h"
#include "framework/free_camera.h"
#include "framework/text_font.h"
#include "terrain/move_frames.h"

class ReliefApp : public AppShell {
public:
    explicit ReliefApp(HINSTANCE instance);

    void Init() override;
    void Frame() override;
    void Cleanup() override;

    FreeCamera camera;
    D3DMATERIAL9 material{};
    D3DLIGHT9 light{};
    TextFont overlayFont{};
    int moveFrames = 0;
};

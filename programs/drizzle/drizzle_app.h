// drizzle: rain falling onto a rippling water surface. Eleven drops fall as grey streaks;
// each one that reaches the water strikes a splash whose ring spreads and dies away. The
// water and the rain step on their own 20 ms clock, whatever the frame rate.
// W/S/A/D fly, right-drag looks around, F1 shows the wireframe, a left click shows the
// cursor position, Escape quits.
#pragma once

#include <d3dx9.h>

#include "framework/app_shell.h"
#include "framework/free_camera.h"
#include "framework/text_font.h"
#include "rain/water_surface.h"

class DrizzleApp : public AppShell {
public:
    explicit DrizzleApp(HINSTANCE instance);

    void Init() override;
    void Frame() override;
    void Cleanup() override;

    FreeCamera camera;
    D3DMATERIAL9 material{};
    D3DLIGHT9 light{};
    TextFont overlayFont{};

private:
    void SetUpLight();
    void SetMaterial();
};

// The program's one water surface, with the rain that falls on it.
extern WaterSurface Water;

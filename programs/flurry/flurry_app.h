// flurry: snow falling over the level-of-detail landscape. 5000 flakes fall in a box that
// travels with the camera, which flies 30 units above the ground and cannot leave the
// terrain. W/S/A/D fly, right-drag looks around, F1 shows the wireframe, a left click shows
// the cursor position, Escape quits. The triangle count is shown beside the frame rate.
#pragma once

#include <d3dx9.h>

#include "framework/app_shell.h"
#include "framework/free_camera.h"
#include "framework/text_font.h"
#include "snow/snow_system.h"

class FlurryApp : public AppShell {
public:
    explicit FlurryApp(HINSTANCE instance);

    void Init() override;
    void Frame() override;
    void Cleanup() override;

    FreeCamera camera;
    D3DMATERIAL9 material{};
    D3DLIGHT9 light{};
    TextFont overlayFont{};
    int moveFrames = 0;
    SnowSystem snow;

private:
    void SetMaterial();
};

// The height of the terrain surface under (x, z). A point outside the terrain is first moved
// onto its nearest edge, and the caller's x and z are changed to match. Each grid cell is two
// triangles split along the diagonal from its (column + 1, row) corner to its (column, row + 1)
// corner; a point on that diagonal takes the first triangle. 0 while no terrain is loaded.
float TerrainHeightAt(float& x, float& z);

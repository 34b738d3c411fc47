// A textured, lit 80 × 80 water grid whose heights follow the two-buffer ripple recurrence.
// The surface steps on its own clock, at most once every 20 ms and once per frame, whatever
// the frame rate; raindrops landing on it strike splashes into the newest heights.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include "rain/rain.h"
#include "rain/water_grid.h"

class WaterSurface {
public:
    static constexpr DWORD StepMilliseconds = 20;

    WaterSurface();
    ~WaterSurface();
    WaterSurface(const WaterSurface&) = delete;
    WaterSurface& operator=(const WaterSurface&) = delete;

    // Loads the texture (when a path is given), builds the buffers and the rain. Called
    // once, after the device exists.
    void Create(IDirect3DDevice9* device, const wchar_t* texturePath);
    // Once per frame between BeginScene and EndScene, with the view transform set: runs the
    // step clock, steps and draws the water, then moves and draws the rain.
    void UpdateAndDraw();
    // Strikes a drop's splash into the newest heights (written, not added). Cells that fall
    // outside the grid are skipped.
    void Splash(int column, int row);
    // Releases the texture, the buffers and the rain's line; safe to call more than once.
    void Release();

    WaterHeights heights[2];
    int current;   // the array the next step writes
    int previous;
    WaterVertex vertices[WaterVertexCount];
    WORD indices[WaterIndexCount];
    IDirect3DTexture9* texture;
    IDirect3DVertexBuffer9* vertexBuffer;
    IDirect3DIndexBuffer9* indexBuffer;
    IDirect3DDevice9* device;
    DWORD lastStepTime;
    bool stepTaken;
    Rain rain;

private:
    void RunStepClock();
    void UploadVertices();
    void UploadIndices();
    void DrawGrid();

    bool clockStarted;
};

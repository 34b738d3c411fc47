// Raindrops falling onto the water surface, each drawn as a short grey streak. The drops
// move only on the water's simulation steps, so they fall at a fixed rate of steps, not of
// frames; they are drawn every frame.
#pragma once

#include <d3d9.h>
#include <d3dx9.h>

class WaterSurface;

// A drop's position in water-grid units: x along the columns, z along the rows, y up.
struct RainDrop {
    float x, y, z;
};

class Rain {
public:
    static constexpr int MaxDrops = 80;
    static constexpr int ActiveDrops = 11;

    Rain();
    ~Rain();
    Rain(const Rain&) = delete;
    Rain& operator=(const Rain&) = delete;

    // Zeroes the drop table and creates the streak line on the water's device.
    void Create(IDirect3DDevice9* device, WaterSurface* water);
    // Lands, draws and lets fall each drop; `step` is true when the water stepped this frame.
    // Runs between BeginScene and EndScene.
    void UpdateAndDraw(bool step);
    void Release();

    // Only the first ActiveDrops take part; the rest stay zero.
    RainDrop drops[MaxDrops];
    ID3DXLine* line;

private:
    void Land(RainDrop* drop);
    void Draw(const RainDrop& drop);

    IDirect3DDevice9* device;
    WaterSurface* water;
};

#include "rain/rain.h"

#include <cstring>

#include "framework/device_steps.h"
#include "rain/water_grid.h"
#include "rain/water_surface.h"
#include "snow/random.h"

namespace {

constexpr float LandingHeight = -1.0f;
constexpr float FallPerStep = 2.5f;
constexpr float StreakLength = 4.0f;  // world units, upwards from the drop
constexpr float LineWidth = 2.0f;
constexpr D3DCOLOR StreakColour = 0xFF666666;

}  // namespace

Rain::Rain() : line(nullptr), device(nullptr), water(nullptr) {
    std::memset(drops, 0, sizeof drops);
}

Rain::~Rain() { Release(); }

void Rain::Create(IDirect3DDevice9* newDevice, WaterSurface* newWater) {
    Release();
    std::memset(drops, 0, sizeof drops);
    device = newDevice;
    water = newWater;
    if (SUCCEEDED(D3DXCreateLine(device, &line))) {
        line->SetWidth(LineWidth);
    } else {
        line = nullptr;
    }
}

void Rain::Release() {
    if (line) line->Release();
    line = nullptr;
}

void Rain::UpdateAndDraw(bool step) {
    for (int i = 0; i < ActiveDrops; ++i) {
        RainDrop& drop = drops[i];
        if (step && drop.y <= LandingHeight) Land(&drop);
        Draw(drop);
        if (step) drop.y -= FallPerStep;
    }
}

// A drop still at the origin has never been born, so it strikes no splash.
void Rain::Land(RainDrop* drop) {
    if (drop->x != 0 && drop->z != 0 && water) water->Splash(int(drop->x), int(drop->z));
    drop->x = float(RandomFloat(2, 78));
    drop->z = float(RandomFloat(2, 78));
    drop->y = float(RandomFloat(50, 100));
}

void Rain::Draw(const RainDrop& drop) {
    if (!line || !device) return;
    const D3DXVECTOR3 bottom(drop.x * WaterSpacing, drop.y * WaterSpacing, drop.z * WaterSpacing);
    const D3DXVECTOR3 streak[2] = {bottom, D3DXVECTOR3(bottom.x, bottom.y + StreakLength, bottom.z)};
    const D3DXMATRIX transform = WorldViewProjection(device);
    line->Begin();
    line->DrawTransform(streak, 2, &transform, StreakColour);
    line->End();
}

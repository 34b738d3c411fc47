#include "programs/flurry/flurry_app.h"

#include <algorithm>
#include <cstdio>

#include "framework/common_steps.h"
#include "terrain/lod_terrain.h"
#include "terrain/move_frames.h"

namespace {

const int FlakeCount = 5000;
const D3DXVECTOR3 SnowBoxMinimum(-100, -20, -100);
const D3DXVECTOR3 SnowBoxMaximum(100, 100, 100);
const float EyeHeight = 30.0f;
const int TerrainGridScale = 8;
const D3DXVECTOR3 StartPosition(100, 260, 100);
const float StartPitch = 0;
const float CameraSpeed = 10;
const D3DCOLOR AmbientLight = 0xFF7F7F7F;
// The triangle count's line, left of the frame rate.
const int TriangleCountLeft = 70, TriangleCountTop = 10, TriangleCountWidth = 100;
// The flakes' velocities are stored per second of a slower clock than the frame clock.
const double SnowTimeScale = 5.0;

float HeightOfSample(int column, int row) { return TerrainVertices[GridIndex(row, column)].position.y; }

}  // namespace

float TerrainHeightAt(float& x, float& z) {
    if (GridWidth <= 0 || GridHeight <= 0 || GridScale <= 0) return 0.0f;
    const float maxX = float((GridWidth - 1) * GridScale), maxZ = float((GridHeight - 1) * GridScale);
    if (x < 0) x = 0;
    if (z < 0) z = 0;
    if (x > maxX) x = maxX;
    if (z > maxZ) z = maxZ;

    const float fx = x * (1.0f / GridScale), fz = z * (1.0f / GridScale);
    const int i = int(fx), j = int(fz);
    const int i1 = std::min(i + 1, GridWidth - 1), j1 = std::min(j + 1, GridHeight - 1);
    const float u = std::max(fx - i, 0.0f), v = std::max(fz - j, 0.0f);
    if (u + v <= 1) {
        const float h = HeightOfSample(i, j);
        return h + v * (HeightOfSample(i, j1) - h) + u * (HeightOfSample(i1, j) - h);
    }
    const float h = HeightOfSample(i1, j1);
    return h + (1 - v) * (HeightOfSample(i1, j) - h) + (1 - u) * (HeightOfSample(i, j1) - h);
}

FlurryApp::FlurryApp(HINSTANCE instance) : AppShell(instance, "DemoApplication", false) {}

void FlurryApp::Init() {
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    overlayFont.Create(device, OverlayFontHeight, OverlayFontColour);
    SetFpsFont(&overlayFont);
    LoadTerrain(device, &camera, L"..\\Resource\\2ter256.bmp", L"..\\Resource\\blank.bmp", TerrainGridScale);
    snow.Create(device, SnowBoxMinimum, SnowBoxMaximum, FlakeCount, L"../Resource/snowflake.dds");
    device->SetRenderState(D3DRS_LIGHTING, TRUE);

    light = MakeDirectionalLight(D3DXVECTOR3(0.7f, -1.0f, 0.7f), {0.8f, 0.8f, 0.8f, 1}, {0.2f, 0.2f, 0.2f, 1},
                                 {0.9f, 0.9f, 0.9f, 1});
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetLight(0, &light);

    camera.SetPosition(StartPosition.x, StartPosition.y, StartPosition.z);
    camera.SetAngles(StartPitch, StartYaw);
    moveFrames = 0;
}

void FlurryApp::SetMaterial() {
    material = MakeMaterial({0.8f, 0.8f, 0.8f, 1}, {0.29f, 0.29f, 0.29f, 1}, {0.2f, 0.2f, 0.2f, 1}, {0, 0, 0, 0}, 5.0f);
    UseMaterial(device, material);
}

void FlurryApp::Frame() {
    if (CountMoveFrame(&moveFrames)) RebuildLod();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, BlackBackground, 1.0f, 0);
    const float groundHeight = TerrainHeightAt(camera.position.x, camera.position.z);
    camera.Update(CameraSpeed, true);
    device->SetRenderState(D3DRS_AMBIENT, AmbientLight);
    device->BeginScene();

    ShowClickPosition();
    SetMaterial();

    // Held above the ground measured before this frame's move; the view follows at once.
    camera.position.y = groundHeight + EyeHeight;
    camera.RebuildView();
    device->SetTransform(D3DTS_VIEW, &camera.view);

    wchar_t text[64];
    swprintf(text, 64, L"%ld triangles", long(DrawTerrain()));
    overlayFont.Draw(text, TriangleCountLeft, TriangleCountTop, TriangleCountWidth);
    snow.Render(&camera.position);
    DrawFps();
    device->EndScene();

    snow.Update(static_cast<float>(ElapsedTime * SnowTimeScale));
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

// The terrain's buffers and texture are released here, while the device still exists; the
// snow releases its own when the application object is destroyed.
void FlurryApp::Cleanup() { ReleaseTerrain(); }

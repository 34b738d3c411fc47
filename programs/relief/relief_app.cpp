#include "programs/relief/relief_app.h"

#include <cstdio>

#include "framework/common_steps.h"
#include "terrain/lod_terrain.h"

namespace {

const int TerrainGridScale = 8;
const D3DXVECTOR3 StartPosition(0, 260, 0);
const float StartPitch = 0;
const float CameraSpeed = 10;
const D3DCOLOR AmbientLight = 0xFF7F7F7F;
// The triangle count's line, left of the frame rate.
const int TriangleCountLeft = 70, TriangleCountTop = 10, TriangleCountWidth = 100;

}  // namespace

ReliefApp::ReliefApp(HINSTANCE instance) : AppShell(instance, "DemoApplication", false) {}

void ReliefApp::Init() {
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    overlayFont.Create(device, OverlayFontHeight, OverlayFontColour);
    SetFpsFont(&overlayFont);
    LoadTerrain(device, &camera, L"..\\Resource\\2ter256.bmp", L"..\\Resource\\skin.bmp", TerrainGridScale);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);

    light = MakeDirectionalLight(D3DXVECTOR3(0.7f, -1.0f, 0.7f), {1, 1, 1, 1}, {0.2f, 0.2f, 0.2f, 1}, {1, 1, 1, 1});
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);

    camera.SetPosition(StartPosition.x, StartPosition.y, StartPosition.z);
    camera.SetAngles(StartPitch, StartYaw);
    moveFrames = 0;
}

void ReliefApp::Frame() {
    if (CountMoveFrame(&moveFrames)) RebuildLod();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, BlackBackground, 1.0f, 0);
    camera.Update(CameraSpeed, true);
    device->SetRenderState(D3DRS_AMBIENT, AmbientLight);
    device->BeginScene();

    ShowClickPosition();

    material = MakeMaterial({0.8f, 0.8f, 0.8f, 1}, {0.2f, 0.2f, 0.2f, 1}, {0.2f, 0.2f, 0.2f, 1}, {0, 0, 0, 0}, 5.0f);
    UseMaterial(device, material);
    device->SetTransform(D3DTS_VIEW, &camera.view);

    wchar_t text[64];
    swprintf(text, 64, L"%ld triangles", long(DrawTerrain()));
    overlayFont.Draw(text, TriangleCountLeft, TriangleCountTop, TriangleCountWidth);
    DrawFps();

    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

void ReliefApp::Cleanup() {
    ReleaseTerrain();
}

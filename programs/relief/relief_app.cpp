#include "programs/relief/relief_app.h"

#include <cstdio>

#include "framework/common_steps.h"
#include "terrain/lod_terrain.h"

ReliefApp::ReliefApp(HINSTANCE instance) : AppShell(instance, "DemoApplication", false) {}

void ReliefApp::Init() {
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    overlayFont.Create(device, 18, 0xFFFFFFFF);
    SetFpsFont(&overlayFont);
    LoadTerrain(device, &camera, L"..\\Resource\\2ter256.bmp", L"..\\Resource\\skin.bmp", 8);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);

    light = MakeDirectionalLight(D3DXVECTOR3(0.7f, -1.0f, 0.7f), {1, 1, 1, 1}, {0.2f, 0.2f, 0.2f, 1}, {1, 1, 1, 1});
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);

    camera.SetPosition(0, 260, 0);
    camera.SetAngles(0, 0.62831855f);
    moveFrames = 0;
}

void ReliefApp::Frame() {
    if (CountMoveFrame(&moveFrames)) RebuildLod();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    camera.Update(10, true);
    device->SetRenderState(D3DRS_AMBIENT, 0xFF7F7F7F);
    device->BeginScene();

    ShowClickPosition();

    material = MakeMaterial({0.8f, 0.8f, 0.8f, 1}, {0.2f, 0.2f, 0.2f, 1}, {0.2f, 0.2f, 0.2f, 1}, {0, 0, 0, 0}, 5.0f);
    UseMaterial(device, material);
    device->SetTransform(D3DTS_VIEW, &camera.view);

    wchar_t text[64];
    swprintf(text, 64, L"%ld triangles", long(DrawTerrain()));
    overlayFont.Draw(text, 70, 10, 100);
    DrawFps();

    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

void ReliefApp::Cleanup() {
    ReleaseTerrain();
}

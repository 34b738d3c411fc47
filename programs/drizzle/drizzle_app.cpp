#include "programs/drizzle/drizzle_app.h"

#include "framework/common_steps.h"

WaterSurface Water;

namespace {

// Outside the near corner of the water, which covers x and z from 0 to 39.5, looking 20
// degrees down across it.
const D3DXVECTOR3 StartPosition(-10, 20, -20);
const float StartPitch = 0.34906587f;
const float CameraSpeed = 1;
const D3DCOLOR AmbientLight = 0xFF4C4C4C;

}  // namespace

DrizzleApp::DrizzleApp(HINSTANCE instance) : AppShell(instance, "DemoApplication", false) {}

void DrizzleApp::Init() {
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    overlayFont.Create(device, OverlayFontHeight, OverlayFontColour);
    SetFpsFont(&overlayFont);
    Water.Create(device, L"..\\Resource\\water.bmp");
    SetUpLight();
    camera.SetPosition(StartPosition.x, StartPosition.y, StartPosition.z);
    camera.SetAngles(StartPitch, StartYaw);
}

void DrizzleApp::SetUpLight() {
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    light = MakeDirectionalLight(D3DXVECTOR3(1.0f, -1.0f, 1.0f), {1, 1, 1, 1}, {0.5f, 0.5f, 0.5f, 1}, {0.5f, 0.5f, 0.5f, 1});
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetLight(0, &light);
}

void DrizzleApp::Frame() {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, BlackBackground, 1.0f, 0);
    camera.Update(CameraSpeed, true);
    device->SetRenderState(D3DRS_AMBIENT, AmbientLight);
    device->BeginScene();

    ShowClickPosition();

    SetMaterial();
    device->SetTransform(D3DTS_VIEW, &camera.view);
    Water.UpdateAndDraw();
    DrawFps();

    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

void DrizzleApp::SetMaterial() {
    material = MakeMaterial({1, 1, 1, 1}, {0.3f, 0.3f, 0.3f, 1}, {0.2f, 0.2f, 0.2f, 1}, {0, 0, 0, 0}, 5.0f);
    UseMaterial(device, material);
}

// The water's texture, buffers and line go back before the shell releases the device.
void DrizzleApp::Cleanup() { Water.Release(); }

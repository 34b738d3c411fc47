#include "programs/drizzle/drizzle_app.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

#include "framework/input_devices.h"

WaterSurface Water;

DrizzleApp::DrizzleApp(HINSTANCE instance) : AppShell(instance, "DemoApplication", false) {}

void DrizzleApp::Init() {
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    overlayFont.Create(device, 18, 0xFFFFFFFF);
    SetFpsFont(&overlayFont);
    Water.Create(device, L"..\\Resource\\water.bmp");
    SetUpLight();
    // Outside the near corner of the water, which covers x and z from 0 to 39.5.
    camera.SetPosition(-10, 20, -20);
    camera.SetAngles(0.34906587f, 0.62831855f);
}

void DrizzleApp::SetUpLight() {
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    light.Type = D3DLIGHT_DIRECTIONAL;
    D3DXVECTOR3 direction(1.0f, -1.0f, 1.0f);
    D3DXVec3Normalize(&direction, &direction);
    light.Direction = direction;
    light.Diffuse = {1, 1, 1, 1};
    light.Specular = {0.5f, 0.5f, 0.5f, 1};
    light.Ambient = {0.5f, 0.5f, 0.5f, 1};
    light.Range = std::sqrt(FLT_MAX);
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetLight(0, &light);
}

void DrizzleApp::Frame() {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    camera.Update(1.0f, true);
    device->SetRenderState(D3DRS_AMBIENT, 0xFF4C4C4C);
    device->BeginScene();

    if (MouseButtons[0]) {
        int x = 0, y = 0;
        GetCursorClientPos(&x, &y);
        char text[32];
        snprintf(text, sizeof text, "%d,%d", x, y);
        MessageBoxA(nullptr, text, "", MB_OK);
    }

    SetMaterial();
    device->SetTransform(D3DTS_VIEW, &camera.view);
    Water.UpdateAndDraw();
    DrawFps();

    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

void DrizzleApp::SetMaterial() {
    material.Diffuse = {1, 1, 1, 1};
    material.Ambient = {0.3f, 0.3f, 0.3f, 1};
    material.Specular = {0.2f, 0.2f, 0.2f, 1};
    material.Emissive = {0, 0, 0, 0};
    material.Power = 5.0f;
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    if (FAILED(device->SetMaterial(&material))) MessageBoxA(nullptr, "Error", "", MB_OK);
}

// The water's texture, buffers and line go back before the shell releases the device.
void DrizzleApp::Cleanup() { Water.Release(); }

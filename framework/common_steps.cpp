#include "framework/common_steps.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

#include "framework/app_shell.h"
#include "framework/input_devices.h"

D3DLIGHT9 MakeDirectionalLight(D3DXVECTOR3 direction, D3DCOLORVALUE diffuse, D3DCOLORVALUE specular,
                               D3DCOLORVALUE ambient) {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    D3DXVec3Normalize(&direction, &direction);
    light.Direction = direction;
    light.Diffuse = diffuse;
    light.Specular = specular;
    light.Ambient = ambient;
    light.Range = std::sqrt(FLT_MAX);
    return light;
}

D3DMATERIAL9 MakeMaterial(D3DCOLORVALUE diffuse, D3DCOLORVALUE ambient, D3DCOLORVALUE specular,
                          D3DCOLORVALUE emissive, float power) {
    D3DMATERIAL9 material{};
    material.Diffuse = diffuse;
    material.Ambient = ambient;
    material.Specular = specular;
    material.Emissive = emissive;
    material.Power = power;
    return material;
}

void ApplyMaterial(IDirect3DDevice9* device, const D3DMATERIAL9& material) {
    if (FAILED(device->SetMaterial(&material))) MessageBoxA(nullptr, "Error", "", MB_OK);
}

void UseMaterial(IDirect3DDevice9* device, const D3DMATERIAL9& material) {
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    ApplyMaterial(device, material);
}

void ShowClickPosition() {
    if (!MouseButtons[0]) return;
    int x = 0, y = 0;
    GetCursorClientPos(&x, &y);
    char text[32];
    std::snprintf(text, sizeof text, "%d,%d", x, y);
    MessageBoxA(nullptr, text, "", MB_OK);
}

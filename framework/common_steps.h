// Steps that most demo programs take the same way: their overlay font and start yaw, their
// directional light, their material with its failure box, and the box that shows where the
// left button was clicked.
#pragma once

#include <d3d9.h>
#include <d3dx9.h>

// The overlay font every program draws its texts with: 18 pixels high, white.
constexpr int OverlayFontHeight = 18;
constexpr D3DCOLOR OverlayFontColour = 0xFFFFFFFF;
// The camera's yaw at start in the programs that look across their scene: 36 degrees.
constexpr float StartYaw = 0.62831855f;
// Black, the colour every frame but tether's is cleared to.
constexpr D3DCOLOR BlackBackground = 0xFF000000;

// A directional light shining along `direction` (normalised here), with unlimited range.
D3DLIGHT9 MakeDirectionalLight(D3DXVECTOR3 direction, D3DCOLORVALUE diffuse, D3DCOLORVALUE specular,
                               D3DCOLORVALUE ambient);

D3DMATERIAL9 MakeMaterial(D3DCOLORVALUE diffuse, D3DCOLORVALUE ambient, D3DCOLORVALUE specular,
                          D3DCOLORVALUE emissive, float power);

// Sets the material; a failure shows "Error" in a box.
void ApplyMaterial(IDirect3DDevice9* device, const D3DMATERIAL9& material);
// Turns specular highlights on, then ApplyMaterial.
void UseMaterial(IDirect3DDevice9* device, const D3DMATERIAL9& material);

// While the left button is down (from the window messages), shows the cursor's client
// position as "x,y" in a box. The box's own message loop delivers the release.
void ShowClickPosition();

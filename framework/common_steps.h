// Steps that most demo programs take the same way: their directional light, their material
// with its failure box, and the box that shows where the left button was clicked.
#pragma once

#include <d3d9.h>
#include <d3dx9.h>

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

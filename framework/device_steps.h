// Device steps that several programs and subsystems take the same way.
#pragma once

#include <d3d9.h>
#include <d3dx9.h>

#include <cstring>

// Loads a texture file into *texture (left null when the file cannot be loaded) and sets
// linear minification, magnification and mip filtering on sampler 0. Returns the load's result.
HRESULT LoadLinearTexture(IDirect3DDevice9* device, const wchar_t* path, IDirect3DTexture9** texture);

// A float render state (point sizes and scales) is passed as the bits of the float.
inline DWORD FloatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The device's world * view * projection, for drawing helpers that transform points
// themselves (ID3DXLine::DrawTransform).
D3DXMATRIX WorldViewProjection(IDirect3DDevice9* device);

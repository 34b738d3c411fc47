#include "framework/device_steps.h"

HRESULT LoadLinearTexture(IDirect3DDevice9* device, const wchar_t* path, IDirect3DTexture9** texture) {
    const HRESULT loaded = D3DXCreateTextureFromFileW(device, path, texture);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    return loaded;
}

D3DXMATRIX WorldViewProjection(IDirect3DDevice9* device) {
    D3DXMATRIX world, view, projection, worldView, transform;
    device->GetTransform(D3DTS_WORLD, &world);
    device->GetTransform(D3DTS_VIEW, &view);
    device->GetTransform(D3DTS_PROJECTION, &projection);
    D3DXMatrixMultiply(&worldView, &world, &view);
    D3DXMatrixMultiply(&transform, &worldView, &projection);
    return transform;
}

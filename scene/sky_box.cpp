#include "scene/sky_box.h"

#include <cstring>
#include <string>

SkyBox::~SkyBox() { Release(); }

void SkyBox::Create(IDirect3DDevice9* targetDevice, const wchar_t* folder, float size) {
    Release();
    device = targetDevice;
    halfSize = size;
    for (int face = 0; face < kSkyFaceCount; ++face) {
        TexturedVertex corners[4];
        for (int i = 0; i < 4; ++i) {
            corners[i] = kSkyFaces[face].corners[i];
            corners[i].x *= halfSize;
            corners[i].y *= halfSize;
            corners[i].z *= halfSize;
        }
        device->CreateVertexBuffer(sizeof(corners), 0, kTexturedVertexFormat, D3DPOOL_DEFAULT, &buffers[face], nullptr);
        void* data = nullptr;
        if (buffers[face] != nullptr && SUCCEEDED(buffers[face]->Lock(0, 0, &data, 0))) {
            std::memcpy(data, corners, sizeof(corners));
            buffers[face]->Unlock();
        }
        // The formats hold one %s for the folder.
        std::wstring path = kSkyFaces[face].pictureFormat;
        path.replace(path.find(L"%s"), 2, folder);
        if (FAILED(D3DXCreateTextureFromFileW(device, path.c_str(), &textures[face]))) textures[face] = nullptr;
    }
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
}

void SkyBox::Draw(const D3DXVECTOR3& camera) {
    D3DXMATRIX saved, centred;
    device->GetTransform(D3DTS_WORLD, &saved);
    D3DXMatrixTranslation(&centred, camera.x, camera.y, camera.z);
    device->SetTransform(D3DTS_WORLD, &centred);
    // Each picture ends at its face's edges: wrapped, the filter would blend in the opposite
    // edge (the horizon into the top of the sky) and draw a line along every edge of the cube.
    DWORD addressU = D3DTADDRESS_WRAP, addressV = D3DTADDRESS_WRAP;
    device->GetSamplerState(0, D3DSAMP_ADDRESSU, &addressU);
    device->GetSamplerState(0, D3DSAMP_ADDRESSV, &addressV);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    for (int face = 0; face < kSkyFaceCount; ++face) {
        device->SetStreamSource(0, buffers[face], 0, sizeof(TexturedVertex));
        device->SetFVF(kTexturedVertexFormat);
        device->SetTexture(0, textures[face]);
        device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    }
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, addressU);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, addressV);
    device->SetTransform(D3DTS_WORLD, &saved);
    device->SetTexture(0, nullptr);
}

void SkyBox::Release() {
    for (int face = 0; face < kSkyFaceCount; ++face) {
        if (buffers[face] != nullptr) buffers[face]->Release();
        if (textures[face] != nullptr) textures[face]->Release();
        buffers[face] = nullptr;
        textures[face] = nullptr;
    }
}

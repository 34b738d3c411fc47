// The scene's ground, objects and trees on the device.
#include "scene/scene.h"

#include <cstring>

#include "scene/textured_vertex.h"

namespace {

// The ground square as a strip, its map picture stretched once over it.
constexpr TexturedVertex kGround[4] = {
    {-kGroundHalfSize, 0.0f, -kGroundHalfSize, 0.0f, 0.0f},
    {-kGroundHalfSize, 0.0f, kGroundHalfSize, 0.0f, 1.0f},
    {kGroundHalfSize, 0.0f, -kGroundHalfSize, 1.0f, 0.0f},
    {kGroundHalfSize, 0.0f, kGroundHalfSize, 1.0f, 1.0f},
};

}  // namespace

void Scene::CreateGround(const wchar_t* mapPath) {
    device->CreateVertexBuffer(sizeof(kGround), 0, kTexturedVertexFormat, D3DPOOL_DEFAULT, &groundBuffer, nullptr);
    void* data = nullptr;
    if (groundBuffer != nullptr && SUCCEEDED(groundBuffer->Lock(0, 0, &data, 0))) {
        std::memcpy(data, kGround, sizeof(kGround));
        groundBuffer->Unlock();
    }
    if (FAILED(D3DXCreateTextureFromFileW(device, mapPath, &mapTexture))) mapTexture = nullptr;
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
}

void Scene::DrawGround() {
    device->SetStreamSource(0, groundBuffer, 0, sizeof(TexturedVertex));
    device->SetFVF(kTexturedVertexFormat);
    device->SetTexture(0, mapTexture);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    device->SetTexture(0, nullptr);
}

void Scene::DrawObjects() {
    for (const std::unique_ptr<SceneObject>& object : objects) object->model.Draw(false);
}

void Scene::DrawTrees() {
    if (trees.empty()) return;
    const D3DXVECTOR3 home = trees[0].position;
    for (const TreeInstance& tree : trees) {
        treeMesh.Move(tree.position);
        treeMesh.Draw();
    }
    treeMesh.Move(home);
}

void Scene::Release() {
    objects.clear();
    trees.clear();
    treeMesh.Release();
    if (groundBuffer != nullptr) groundBuffer->Release();
    if (mapTexture != nullptr) mapTexture->Release();
    groundBuffer = nullptr;
    mapTexture = nullptr;
}

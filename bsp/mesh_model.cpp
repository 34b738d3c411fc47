#include "bsp/mesh_model.h"

#include <windows.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace {

std::wstring WideFromAnsi(const char* text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

void ShowFailure(const wchar_t* before, const std::wstring& path, const wchar_t* after) {
    const std::wstring text = before + path + after;
    MessageBoxW(nullptr, text.c_str(), L"", MB_OK);
}

}  // namespace

MeshModel::~MeshModel() { Release(); }

void MeshModel::Load(IDirect3DDevice9* targetDevice, const wchar_t* folder, const wchar_t* fileName) {
    Release();
    position = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    scale = 1.0f;
    device = targetDevice;
    const std::wstring path = std::wstring(folder) + fileName;
    ID3DXBuffer* materialBuffer = nullptr;
    DWORD count = 0;
    if (FAILED(D3DXLoadMeshFromXW(path.c_str(), D3DXMESH_SYSTEMMEM, device, nullptr, &materialBuffer, nullptr, &count,
                                  &mesh)) ||
        materialBuffer == nullptr) {
        mesh = nullptr;
        materialCount = 0;
        ShowFailure(L"载入", path, L"文件失败");
        return;
    }
    materialCount = count;
    const auto* loaded = static_cast<const D3DXMATERIAL*>(materialBuffer->GetBufferPointer());
    materials.resize(materialCount);
    textures.assign(materialCount, nullptr);
    for (unsigned int i = 0; i < materialCount; ++i) {
        materials[i] = loaded[i].MatD3D;
        // X materials carry no ambient colour; the diffuse one stands in for it.
        materials[i].Ambient = materials[i].Diffuse;
        if (loaded[i].pTextureFilename == nullptr) continue;
        const std::wstring texturePath = std::wstring(folder) + WideFromAnsi(loaded[i].pTextureFilename);
        if (FAILED(D3DXCreateTextureFromFileW(device, texturePath.c_str(), &textures[i]))) {
            textures[i] = nullptr;
            ShowFailure(L"载入", texturePath, L"纹理失败");
        }
    }
    materialBuffer->Release();

    mesh->GetIndexBuffer(&indexBuffer);
    D3DINDEXBUFFER_DESC description = {};
    if (indexBuffer != nullptr) indexBuffer->GetDesc(&description);
    indexSize = description.Format == D3DFMT_INDEX16 ? 16 : 32;
}

void MeshModel::Draw(bool useMaterials) {
    for (unsigned int i = 0; i < materialCount; ++i) {
        if (useMaterials) device->SetMaterial(&materials[i]);
        device->SetTexture(0, textures[i]);
        mesh->DrawSubset(i);
    }
    if (!textures.empty()) device->SetTexture(0, nullptr);
}

D3DXVECTOR3& MeshModel::VertexPosition(DWORD vertex) const {
    // Every vertex starts with its position; the stride is the mesh's vertex size.
    return *reinterpret_cast<D3DXVECTOR3*>(lockedVertices + size_t(vertex) * mesh->GetNumBytesPerVertex());
}

template <typename Change>
bool MeshModel::ChangePositions(Change change) {
    if (mesh == nullptr || !Lock()) return false;
    const DWORD vertices = mesh->GetNumVertices();
    for (DWORD v = 0; v < vertices; ++v) change(VertexPosition(v));
    Unlock();
    return true;
}

void MeshModel::Rescale(float newScale) {
    // A scale of (nearly) nothing would collapse the vertices onto the position for good;
    // the model keeps its last size instead until the scale moves away from zero again.
    if (std::fabs(newScale) < kSmallestScale) return;
    const D3DXVECTOR3 centre = position;
    const float oldScale = scale;
    ChangePositions([&](D3DXVECTOR3& vertex) { vertex = centre + ((vertex - centre) / oldScale) * newScale; });
    scale = newScale;
}

void MeshModel::RotateX(float angle) {
    D3DXMATRIX turn;
    D3DXMatrixRotationX(&turn, angle);
    // (x, y, z, 1) times the matrix as a column vector: each result is a row of the matrix
    // dotted with the vertex, so a quarter turn takes (x, y, z) to (x, z, -y).
    ChangePositions([&](D3DXVECTOR3& vertex) {
        const D3DXVECTOR3 v = vertex;
        vertex.x = turn._11 * v.x + turn._12 * v.y + turn._13 * v.z + turn._14;
        vertex.y = turn._21 * v.x + turn._22 * v.y + turn._23 * v.z + turn._24;
        vertex.z = turn._31 * v.x + turn._32 * v.y + turn._33 * v.z + turn._34;
    });
}

void MeshModel::Move(const D3DXVECTOR3& newPosition) {
    const D3DXVECTOR3 offset = newPosition - position;
    ChangePositions([&](D3DXVECTOR3& vertex) { vertex += offset; });
    position = newPosition;
}

bool MeshModel::Lock() {
    if (mesh == nullptr) return false;
    void* vertices = nullptr;
    if (FAILED(mesh->LockVertexBuffer(0, &vertices))) return false;
    if (FAILED(mesh->LockIndexBuffer(0, &lockedIndices))) {
        mesh->UnlockVertexBuffer();
        return false;
    }
    lockedVertices = static_cast<BYTE*>(vertices);
    return true;
}

void MeshModel::Unlock() {
    if (mesh == nullptr || lockedVertices == nullptr) return;
    mesh->UnlockIndexBuffer();
    mesh->UnlockVertexBuffer();
    lockedVertices = nullptr;
    lockedIndices = nullptr;
}

DWORD MeshModel::FaceCount() const { return mesh != nullptr ? mesh->GetNumFaces() : 0; }

BspTriangle MeshModel::Face(DWORD face) const {
    auto index = [&](DWORD corner) -> DWORD {
        const DWORD i = face * 3 + corner;
        return indexSize == 16 ? static_cast<const uint16_t*>(lockedIndices)[i] : static_cast<const uint32_t*>(lockedIndices)[i];
    };
    return BspTriangle{VertexPosition(index(0)), VertexPosition(index(1)), VertexPosition(index(2))};
}

void MeshModel::Release() {
    Unlock();
    for (IDirect3DTexture9*& texture : textures) {
        if (texture != nullptr) texture->Release();
    }
    textures.clear();
    materials.clear();
    if (indexBuffer != nullptr) indexBuffer->Release();
    if (mesh != nullptr) mesh->Release();
    indexBuffer = nullptr;
    mesh = nullptr;
    materialCount = 0;
}

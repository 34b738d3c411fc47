#include "md2/md2_mesh.h"

#include <d3dx9.h>

#include <cstring>
#include <string>

#include "md2/md2_format.h"
#include "md2/md2_normals.h"

Md2Mesh::Md2Mesh(IDirect3DDevice9* device) : device(device) {}

Md2Mesh::~Md2Mesh() {
    if (skin) skin->Release();
    if (vertexBuffer) vertexBuffer->Release();
}

bool Md2Mesh::Load(const wchar_t* md2Path, const wchar_t* skinPath, float scale) {
    this->scale = scale;
    if (md2Path == nullptr || skinPath == nullptr) return false;
    return LoadGeometry(md2Path) && LoadSkin(skinPath);
}

bool Md2Mesh::LoadGeometry(const wchar_t* md2Path) {
    FILE* file = _wfopen(md2Path, L"rb");
    if (file == nullptr) return false;
    Md2Geometry geometry;
    const bool read = ReadMd2Geometry(file, scale, &geometry);
    fclose(file);
    if (!read) return false;

    // Without its vertex buffer the mesh could never be drawn, so it counts as not loaded.
    IDirect3DVertexBuffer9* buffer = nullptr;
    const UINT length = static_cast<UINT>(geometry.vertexCount * sizeof(Md2DrawVertex));
    if (FAILED(device->CreateVertexBuffer(length, 0, Md2DrawVertexFormat, D3DPOOL_DEFAULT, &buffer, nullptr)) ||
        buffer == nullptr)
        return false;

    if (vertexBuffer) vertexBuffer->Release();
    vertexBuffer = buffer;
    frameCount = geometry.frameCount;
    vertexCount = geometry.vertexCount;
    frameSize = geometry.frameSize;
    commandWords = static_cast<int>(geometry.commands.size());
    commands = std::move(geometry.commands);
    frameVertices = std::move(geometry.frameVertices);
    drawVertices.assign(static_cast<size_t>(vertexCount), Md2DrawVertex{});
    return true;
}

bool Md2Mesh::LoadSkin(const wchar_t* skinPath) {
    if (skin) skin->Release();
    skin = nullptr;
    if (FAILED(D3DXCreateTextureFromFileW(device, skinPath, &skin)) || skin == nullptr) {
        skin = nullptr;
        const std::wstring message = std::wstring(L"载入") + skinPath + L"纹理失败";
        MessageBoxW(nullptr, message.c_str(), L"", MB_OK);
        return false;
    }
    // Device-wide: everything drawn later is filtered linearly too.
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    return true;
}

void Md2Mesh::Draw(int a, int b, float w, bool textured) {
    if (!HasGeometry() || a < 0 || a >= frameCount || b < 0 || b >= frameCount) return;
    const Md2FrameVertex* frameA = &frameVertices[static_cast<size_t>(a) * vertexCount];
    const Md2FrameVertex* frameB = &frameVertices[static_cast<size_t>(b) * vertexCount];
    device->SetTexture(0, textured ? skin : nullptr);
    // The list was checked when it was read: it ends with 0 and every command fits.
    const int32_t* word = commands.data();
    while (*word != 0) {
        const int count = *word++;
        const int vertices = count < 0 ? -count : count;
        DrawCommand(frameA, frameB, w, word, vertices, count < 0);
        word += vertices * md2::WordsPerCommandVertex;
    }
    device->SetTexture(0, nullptr);
}

// Fills the scratch vertices for one strip or fan, copies them into the vertex buffer and
// draws them. The normal is key frame A's, unblended; a fan's is turned to face the other way.
void Md2Mesh::DrawCommand(const Md2FrameVertex* frameA, const Md2FrameVertex* frameB, float w, const int32_t* words,
                          int vertices, bool fan) {
    if (vertices < 3) return;  // fewer than three vertices make no triangle
    const float normalSign = fan ? -1.0f : 1.0f;
    for (int k = 0; k < vertices; ++k, words += md2::WordsPerCommandVertex) {
        float s, t;
        std::memcpy(&s, &words[0], sizeof s);
        std::memcpy(&t, &words[1], sizeof t);
        const Md2FrameVertex& from = frameA[words[2]];
        const Md2FrameVertex& to = frameB[words[2]];
        const float* normal = md2::Normals[from.normalIndex];
        Md2DrawVertex& out = drawVertices[k];
        out.x = (1 - w) * from.x + w * to.x;
        out.y = (1 - w) * from.y + w * to.y;
        out.z = (1 - w) * from.z + w * to.z;
        out.nx = normalSign * normal[0];
        out.ny = normalSign * normal[1];
        out.nz = normalSign * normal[2];
        out.u = s;
        out.v = 1 - t;
    }
    const UINT bytes = static_cast<UINT>(vertices * sizeof(Md2DrawVertex));
    void* locked = nullptr;
    if (FAILED(vertexBuffer->Lock(0, bytes, &locked, 0)) || locked == nullptr) return;
    std::memcpy(locked, drawVertices.data(), bytes);
    vertexBuffer->Unlock();
    device->SetStreamSource(0, vertexBuffer, 0, sizeof(Md2DrawVertex));
    device->SetFVF(Md2DrawVertexFormat);
    device->DrawPrimitive(fan ? D3DPT_TRIANGLEFAN : D3DPT_TRIANGLESTRIP, 0, static_cast<UINT>(vertices - 2));
}

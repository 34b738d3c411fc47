// Loads arbitrary bytes as an X file with D3DXLoadMeshFromXW on the trace device. A mesh that
// is accepted must be whole: faces and vertices within their limits, every index naming a
// vertex, every face's attribute naming a material, subsets covering the faces in order, and
// each material's texture name a string inside the material buffer. Its subsets are drawn.
// Every count a file declares is checked against what the file holds, so no input of a few
// kilobytes may take much memory: libFuzzer's malloc limit reports one that does.
#include <d3dx9.h>
#include <host.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {

IDirect3DDevice9* Device = nullptr;

using fuzz::Require;

const std::string& TempPath() {
    static const std::string path = "/dev/shm/x_mesh_fuzz_" + std::to_string(getpid()) + ".x";
    return path;
}

void Check(ID3DXMesh* mesh, ID3DXBuffer* materials, DWORD materialCount) {
    const DWORD faces = mesh->GetNumFaces(), vertices = mesh->GetNumVertices();
    Require(faces > 0 && vertices > 0 && vertices <= 65535);
    Require(materialCount > 0 && materials != nullptr);
    Require(materials->GetBufferSize() >= materialCount * sizeof(D3DXMATERIAL));
    const auto* entries = static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer());
    const char* end = static_cast<const char*>(materials->GetBufferPointer()) + materials->GetBufferSize();
    for (DWORD i = 0; i < materialCount; ++i) {
        const char* name = entries[i].pTextureFilename;
        if (name == nullptr) continue;
        Require(name >= reinterpret_cast<const char*>(entries + materialCount) && name < end);
        Require(std::memchr(name, 0, size_t(end - name)) != nullptr);
    }
    void* indices = nullptr;
    Require(SUCCEEDED(mesh->LockIndexBuffer(D3DLOCK_READONLY, &indices)));
    for (DWORD i = 0; i < faces * 3; ++i) Require(static_cast<const uint16_t*>(indices)[i] < vertices);
    mesh->UnlockIndexBuffer();
    DWORD* attributes = nullptr;
    Require(SUCCEEDED(mesh->LockAttributeBuffer(D3DLOCK_READONLY, &attributes)));
    for (DWORD f = 0; f < faces; ++f) Require(attributes[f] < materialCount && (f == 0 || attributes[f - 1] <= attributes[f]));
    mesh->UnlockAttributeBuffer();
    DWORD ranges = 0;
    Require(SUCCEEDED(mesh->GetAttributeTable(nullptr, &ranges)));
    std::vector<D3DXATTRIBUTERANGE> table(ranges);
    if (ranges > 0) mesh->GetAttributeTable(table.data(), &ranges);
    DWORD next = 0;
    for (const D3DXATTRIBUTERANGE& range : table) {
        Require(range.FaceStart == next && range.FaceCount > 0);
        Require(range.VertexStart + range.VertexCount <= vertices);
        next += range.FaceCount;
    }
    Require(next == faces);
    Device->BeginScene();
    for (DWORD i = 0; i < materialCount; ++i) mesh->DrawSubset(i);
    Device->EndScene();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Device = host::CreateTraceDevice();
    host::SetTraceRecording(Device, false);
    host::SetFailureListener([](const std::string&) {});  // most inputs fail, each with its line
    std::atexit([] { std::remove(TempPath().c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(TempPath().c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
    const std::wstring path(TempPath().begin(), TempPath().end());
    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer* materials = nullptr;
    DWORD materialCount = 0;
    const HRESULT loaded =
        D3DXLoadMeshFromXW(path.c_str(), D3DXMESH_SYSTEMMEM, Device, nullptr, &materials, nullptr, &materialCount, &mesh);
    if (FAILED(loaded)) {
        Require(mesh == nullptr);
        return 0;
    }
    Require(mesh != nullptr);
    Check(mesh, materials, materialCount);
    mesh->Release();
    materials->Release();
    return 0;
}

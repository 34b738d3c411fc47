// Arbitrary bytes as a tree.mesh file: parsed, then loaded through a file into a mesh on the
// trace device, drawn, moved, rescaled and gathered as the scene gathers it.
// Invariants: a file that is accepted holds exactly what its counts promise, every index is
// below the vertex count and every subset id below the texture count; the loader accepts
// exactly the files the parser accepts, and a refused file leaves no mesh.
#include "scene/tree_mesh.h"

#include <host.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {

IDirect3DDevice9* Device = nullptr;

using fuzz::Require;

void CheckParsed(const TreeMeshFile& file, size_t size) {
    const size_t textures = file.facesPerTexture.size();
    Require(file.faceCount > 0 && file.vertexCount > 0 && file.vertexCount <= 65535);
    Require(file.textureNames.size() == textures);
    Require(file.vertices.size() == file.vertexCount);
    Require(file.indices.size() == size_t(file.faceCount) * 3);
    Require(file.attributes.size() == file.faceCount);
    // Every byte of the counted parts was in the file.
    Require(12 + textures * 8 + size_t(file.vertexCount) * 20 + size_t(file.faceCount) * 10 <= size);
    for (uint32_t faces : file.facesPerTexture) Require(faces <= file.faceCount);
    for (const std::wstring& name : file.textureNames) Require(name.size() <= kMaxTextureNameUnits);
    for (uint16_t index : file.indices) Require(index < file.vertexCount);
    for (uint32_t id : file.attributes) Require(id < textures);
}

// What the scene does with the shared mesh: draws it at two places, gathers the first
// subset's faces, and rescales it.
void Use(TreeMesh* tree) {
    tree->Move(D3DXVECTOR3(10, 0, -20));
    tree->Draw();
    tree->Move(D3DXVECTOR3(0, 0, 0));
    Require(tree->Lock());
    float sum = 0;
    for (DWORD face = 0; face < tree->facesPerTexture[0]; ++face) sum += tree->Face(face).p1.x;
    tree->Unlock();
    (void)sum;
    tree->Rescale(2.0f);
    tree->Draw();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    host::SetMessageBoxListener([](const std::wstring&, const std::wstring&) {});
    Device = host::CreateTraceDevice();
    host::SetTraceRecording(Device, false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    const std::optional<TreeMeshFile> parsed = ParseTreeMesh(bytes);
    if (parsed) CheckParsed(*parsed, size);

    const std::string path = fuzz::ScratchFolder("tree_mesh_fuzz") + "/tree.mesh";
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) std::abort();
    if (size > 0) std::fwrite(data, 1, size, out);
    std::fclose(out);

    TreeMesh tree;
    const bool loaded = tree.Load(Device, std::wstring(path.begin(), path.end()).c_str(), 1.0f);
    Require(loaded == parsed.has_value());
    Require(loaded == (tree.mesh != nullptr));
    if (loaded) {
        Require(tree.faceCount == parsed->faceCount && tree.vertexCount == parsed->vertexCount);
        Require(tree.mesh->GetNumFaces() == parsed->faceCount && tree.mesh->GetNumVertices() == parsed->vertexCount);
        Require(tree.textures.size() == parsed->facesPerTexture.size());
        Use(&tree);
    }
    return 0;
}

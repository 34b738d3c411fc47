#include "scene/tree_mesh.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <type_traits>

namespace {

// A tree file larger than this is not a tree.
constexpr size_t kMaxFileBytes = 64u << 20;
constexpr size_t kVertexBytes = 5 * sizeof(float);

// Reads little-endian values from the file's bytes, refusing to run past the end.
class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    bool Has(uint64_t count) const { return count <= bytes_.size() - offset_; }
    bool U32(uint32_t* value) { return Take(value, 4); }
    bool U16(uint16_t* value) { return Take(value, 2); }
    bool F32(float* value) { return Take(value, 4); }

private:
    template <typename T>
    bool Take(T* value, size_t size) {
        if (!Has(size)) return false;
        uint64_t v = 0;
        for (size_t i = 0; i < size; ++i) v |= uint64_t(bytes_[offset_ + i]) << (8 * i);
        offset_ += size;
        if constexpr (sizeof(T) == 4 && std::is_floating_point_v<T>) {
            const uint32_t bits = static_cast<uint32_t>(v);
            std::memcpy(value, &bits, 4);
        } else {
            *value = static_cast<T>(v);
        }
        return true;
    }

    const std::vector<uint8_t>& bytes_;
    size_t offset_ = 0;
};

// UTF-16 code units to the platform's wide characters, up to the first NUL.
std::wstring WideFromUtf16(const std::vector<uint16_t>& units) {
    std::wstring text;
    for (size_t i = 0; i < units.size() && units[i] != 0; ++i) {
        uint32_t code = units[i];
        if (sizeof(wchar_t) == 4 && code >= 0xD800 && code < 0xDC00 && i + 1 < units.size() &&
            units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (units[++i] - 0xDC00);
        }
        text.push_back(static_cast<wchar_t>(code));
    }
    return text;
}

std::optional<std::vector<uint8_t>> ReadFile(const wchar_t* path) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(_wfopen(path, L"rb"), &std::fclose);
    if (!file) return std::nullopt;
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        if (bytes.size() + got > kMaxFileBytes) return std::nullopt;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return bytes;
}

}  // namespace

std::optional<TreeMeshFile> ParseTreeMesh(const std::vector<uint8_t>& bytes) {
    Reader in(bytes);
    TreeMeshFile mesh;
    uint32_t textureCount = 0;
    if (!in.U32(&mesh.faceCount) || !in.U32(&mesh.vertexCount) || !in.U32(&textureCount)) return std::nullopt;
    // A 16-bit index buffer holds meshes of at most 65535 vertices; every count must fit in the bytes left.
    if (mesh.faceCount == 0 || mesh.vertexCount == 0 || mesh.vertexCount > 65535) return std::nullopt;
    if (textureCount > kMaxTreeTextures) return std::nullopt;
    if (!in.Has(uint64_t(textureCount) * 8 + uint64_t(mesh.vertexCount) * kVertexBytes + uint64_t(mesh.faceCount) * 10)) {
        return std::nullopt;
    }
    mesh.facesPerTexture.resize(textureCount);
    for (uint32_t& faces : mesh.facesPerTexture) {
        if (!in.U32(&faces) || faces > mesh.faceCount) return std::nullopt;
    }
    for (uint32_t t = 0; t < textureCount; ++t) {
        uint32_t length = 0;
        if (!in.U32(&length) || length > kMaxTextureNameUnits || !in.Has(uint64_t(length) * 2)) return std::nullopt;
        std::vector<uint16_t> units(length);
        for (uint16_t& unit : units) in.U16(&unit);
        mesh.textureNames.push_back(WideFromUtf16(units));
    }
    mesh.vertices.resize(mesh.vertexCount);
    for (TreeVertex& v : mesh.vertices) {
        if (!in.F32(&v.u) || !in.F32(&v.v) || !in.F32(&v.x) || !in.F32(&v.y) || !in.F32(&v.z)) return std::nullopt;
    }
    mesh.indices.resize(size_t(mesh.faceCount) * 3);
    for (uint16_t& index : mesh.indices) {
        if (!in.U16(&index) || index >= mesh.vertexCount) return std::nullopt;
    }
    mesh.attributes.resize(mesh.faceCount);
    for (uint32_t& attribute : mesh.attributes) {
        if (!in.U32(&attribute) || attribute >= textureCount) return std::nullopt;
    }
    return mesh;
}

TreeMesh::~TreeMesh() { Release(); }

bool TreeMesh::Load(IDirect3DDevice9* targetDevice, const wchar_t* path, float initialScale) {
    Release();
    device = targetDevice;
    position = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    scale = initialScale;
    std::optional<std::vector<uint8_t>> bytes = ReadFile(path);
    std::optional<TreeMeshFile> file;
    if (bytes) file = ParseTreeMesh(*bytes);
    if (!file) {
        if (bytes) {
            std::fprintf(stderr, "scene: no trees drawn: %ls is not a tree mesh\n", path);
        } else {
            std::fprintf(stderr, "scene: no trees drawn: %ls cannot be read (missing, or over %zu MiB)\n", path,
                         kMaxFileBytes >> 20);
        }
        return false;
    }
    if (FAILED(D3DXCreateMeshFVF(file->faceCount, file->vertexCount, D3DXMESH_MANAGED, kTreeVertexFormat, device,
                                 &mesh))) {
        mesh = nullptr;
        return false;
    }
    faceCount = file->faceCount;
    vertexCount = file->vertexCount;
    textureCount = static_cast<unsigned int>(file->facesPerTexture.size());
    facesPerTexture.assign(file->facesPerTexture.begin(), file->facesPerTexture.end());
    textures.assign(textureCount, nullptr);
    for (unsigned int i = 0; i < textureCount; ++i) {
        // A name is used as it stands, relative to the working folder.
        if (FAILED(D3DXCreateTextureFromFileW(device, file->textureNames[i].c_str(), &textures[i]))) textures[i] = nullptr;
    }
    void* data = nullptr;
    if (SUCCEEDED(mesh->LockVertexBuffer(0, &data))) {
        std::memcpy(data, file->vertices.data(), file->vertices.size() * sizeof(TreeVertex));
        mesh->UnlockVertexBuffer();
    }
    if (SUCCEEDED(mesh->LockIndexBuffer(0, &data))) {
        std::memcpy(data, file->indices.data(), file->indices.size() * sizeof(uint16_t));
        mesh->UnlockIndexBuffer();
    }
    DWORD* ids = nullptr;
    if (SUCCEEDED(mesh->LockAttributeBuffer(0, &ids))) {
        std::memcpy(ids, file->attributes.data(), file->attributes.size() * sizeof(uint32_t));
        mesh->UnlockAttributeBuffer();
    }
    return true;
}

void TreeMesh::Draw() {
    if (mesh == nullptr) return;
    for (unsigned int i = 0; i < textureCount; ++i) {
        device->SetTexture(0, textures[i]);
        mesh->DrawSubset(i);
    }
    device->SetTexture(0, nullptr);
}

template <typename Change>
void TreeMesh::ChangePositions(Change change) {
    if (mesh == nullptr) return;
    void* data = nullptr;
    if (FAILED(mesh->LockVertexBuffer(0, &data))) return;
    auto* vertices = static_cast<TreeVertex*>(data);
    for (unsigned int i = 0; i < vertexCount; ++i) change(vertices[i]);
    mesh->UnlockVertexBuffer();
}

void TreeMesh::Rescale(float newScale) {
    if (mesh == nullptr) return;
    const float factor = newScale / scale;
    ChangePositions([&](TreeVertex& v) {
        v.x *= factor;
        v.y *= factor;
        v.z *= factor;
    });
    scale = newScale;
}

void TreeMesh::Move(const D3DXVECTOR3& newPosition) {
    const D3DXVECTOR3 from = position;
    ChangePositions([&](TreeVertex& v) {
        v.x = newPosition.x + (v.x - from.x);
        v.y = newPosition.y + (v.y - from.y);
        v.z = newPosition.z + (v.z - from.z);
    });
    position = newPosition;
}

bool TreeMesh::Lock() {
    if (mesh == nullptr) return false;
    void* vertices = nullptr;
    void* indices = nullptr;
    if (FAILED(mesh->LockVertexBuffer(0, &vertices))) return false;
    if (FAILED(mesh->LockIndexBuffer(0, &indices))) {
        mesh->UnlockVertexBuffer();
        return false;
    }
    lockedVertices = static_cast<TreeVertex*>(vertices);
    lockedIndices = static_cast<uint16_t*>(indices);
    return true;
}

void TreeMesh::Unlock() {
    if (lockedVertices == nullptr) return;
    mesh->UnlockIndexBuffer();
    mesh->UnlockVertexBuffer();
    lockedVertices = nullptr;
    lockedIndices = nullptr;
}

BspTriangle TreeMesh::Face(DWORD face) const {
    auto corner = [&](int k) {
        const TreeVertex& v = lockedVertices[lockedIndices[face * 3 + k]];
        return D3DXVECTOR3(v.x, v.y, v.z);
    };
    return BspTriangle{corner(0), corner(1), corner(2)};
}

void TreeMesh::Release() {
    Unlock();
    for (IDirect3DTexture9*& texture : textures) {
        if (texture != nullptr) texture->Release();
    }
    textures.clear();
    if (mesh != nullptr) mesh->Release();
    mesh = nullptr;
    textureCount = faceCount = vertexCount = 0;
    facesPerTexture.clear();
}

// D3DXLoadMeshFromX: the polygons of an X file turned into one mesh with the vertex, face
// and material order that D3DX produces.
#include "d3dx/x_file.h"

#include "core/paths.h"
#include "d3dx/mesh.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <numeric>
#include <string>

namespace platform::d3dx {
namespace {

// An X file larger than this is not read: it could not become a mesh D3DX would draw.
constexpr uint64_t kMaxXFileBytes = uint64_t{256} << 20;

// A vertex compared by its bits, so the split follows exactly what the file holds.
struct VertexKey {
    uint8_t bytes[sizeof(XVertex)];
    explicit VertexKey(const XVertex& vertex) { std::memcpy(bytes, &vertex, sizeof(XVertex)); }
    bool operator<(const VertexKey& other) const { return std::memcmp(bytes, other.bytes, sizeof(bytes)) < 0; }
};
static_assert(sizeof(XVertex) == 8 * sizeof(float) + sizeof(D3DCOLOR), "XVertex must have no padding");

struct PositionKey {
    float x, y, z;
    bool operator<(const PositionKey& other) const { return std::memcmp(this, &other, sizeof(PositionKey)) < 0; }
};

struct Triangles {
    std::vector<const XVertex*> corners;  // three per face
    std::vector<DWORD> attributes;        // one per face
};

// Faces sorted by material, keeping file order within a material; polygons fanned.
Triangles FanSortedPolygons(const XScene& scene) {
    std::vector<size_t> order(scene.polygons.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return scene.polygons[a].material < scene.polygons[b].material; });
    Triangles triangles;
    for (size_t p : order) {
        const XPolygon& polygon = scene.polygons[p];
        for (size_t k = 1; k + 1 < polygon.corners.size(); ++k) {
            triangles.corners.insert(triangles.corners.end(),
                                     {&polygon.corners[0], &polygon.corners[k], &polygon.corners[k + 1]});
            triangles.attributes.push_back(polygon.material);
        }
    }
    return triangles;
}

struct SplitVertices {
    std::vector<XVertex> vertices;
    std::vector<DWORD> indices;  // one per corner
};

// One vertex per position first, taking the first normal, texture coordinate and colour the
// faces give it; then, after all of those, one copy for each other combination a face uses.
SplitVertices SplitByAttributes(const std::vector<const XVertex*>& corners) {
    SplitVertices split;
    std::map<PositionKey, DWORD> first;
    for (const XVertex* corner : corners) {
        PositionKey key{corner->position.x, corner->position.y, corner->position.z};
        if (first.emplace(key, static_cast<DWORD>(split.vertices.size())).second) split.vertices.push_back(*corner);
    }
    std::map<VertexKey, DWORD> copies;
    for (const XVertex* corner : corners) {
        const DWORD primary = first[PositionKey{corner->position.x, corner->position.y, corner->position.z}];
        if (std::memcmp(&split.vertices[primary], corner, sizeof(XVertex)) == 0) {
            split.indices.push_back(primary);
            continue;
        }
        auto [copy, added] = copies.emplace(VertexKey(*corner), static_cast<DWORD>(split.vertices.size()));
        if (added) split.vertices.push_back(*corner);
        split.indices.push_back(copy->second);
    }
    return split;
}

void WriteVertices(const std::vector<XVertex>& vertices, DWORD fvf, uint8_t* out) {
    for (const XVertex& vertex : vertices) {
        auto put = [&](const void* data, size_t size) {
            std::memcpy(out, data, size);
            out += size;
        };
        put(&vertex.position, sizeof(D3DXVECTOR3));
        if (fvf & D3DFVF_NORMAL) put(&vertex.normal, sizeof(D3DXVECTOR3));
        if (fvf & D3DFVF_DIFFUSE) put(&vertex.colour, sizeof(D3DCOLOR));
        if (fvf & D3DFVF_TEX1) put(&vertex.texCoord, sizeof(D3DXVECTOR2));
    }
}

void WriteIndices(const std::vector<DWORD>& indices, bool indices32, void* out) {
    if (indices32) {
        std::memcpy(out, indices.data(), indices.size() * sizeof(DWORD));
        return;
    }
    auto* narrow = static_cast<WORD*>(out);
    for (size_t i = 0; i < indices.size(); ++i) narrow[i] = static_cast<WORD>(indices[i]);
}

// One range per run of equal attributes, with the span of vertices its faces use.
std::vector<D3DXATTRIBUTERANGE> AttributeRanges(const std::vector<DWORD>& attributes, const std::vector<DWORD>& indices) {
    std::vector<D3DXATTRIBUTERANGE> ranges;
    DWORD lowest = 0;
    DWORD highest = 0;
    for (DWORD face = 0; face < attributes.size(); ++face) {
        if (ranges.empty() || ranges.back().AttribId != attributes[face]) {
            ranges.push_back({attributes[face], face, 0, 0, 0});
            lowest = UINT32_MAX;
            highest = 0;
        }
        for (int corner = 0; corner < 3; ++corner) {
            lowest = std::min(lowest, indices[face * 3 + corner]);
            highest = std::max(highest, indices[face * 3 + corner]);
        }
        D3DXATTRIBUTERANGE& range = ranges.back();
        ++range.FaceCount;
        range.VertexStart = lowest;
        range.VertexCount = highest - lowest + 1;
    }
    return ranges;
}

}  // namespace

DWORD XSceneFvf(const XScene& scene) {
    DWORD fvf = D3DFVF_XYZ;
    if (scene.hasNormals) fvf |= D3DFVF_NORMAL;
    if (scene.hasColours) fvf |= D3DFVF_DIFFUSE;
    if (scene.hasTexCoords) fvf |= D3DFVF_TEX1;
    return fvf;
}

HRESULT BuildXMesh(const XScene& scene, DWORD options, IDirect3DDevice9* device, ID3DXMesh** mesh) {
    const Triangles triangles = FanSortedPolygons(scene);
    if (triangles.attributes.empty()) return D3DXERR_INVALIDDATA;
    const SplitVertices split = SplitByAttributes(triangles.corners);
    const DWORD fvf = XSceneFvf(scene);
    const DWORD faces = static_cast<DWORD>(triangles.attributes.size());
    HRESULT made = D3DXCreateMeshFVF(faces, static_cast<DWORD>(split.vertices.size()), options, fvf, device, mesh);
    if (FAILED(made)) return made;

    void* data = nullptr;
    if (SUCCEEDED((*mesh)->LockVertexBuffer(0, &data))) {
        WriteVertices(split.vertices, fvf, static_cast<uint8_t*>(data));
        (*mesh)->UnlockVertexBuffer();
    }
    if (SUCCEEDED((*mesh)->LockIndexBuffer(0, &data))) {
        WriteIndices(split.indices, (options & D3DXMESH_32BIT) != 0, data);
        (*mesh)->UnlockIndexBuffer();
    }
    DWORD* attributes = nullptr;
    if (SUCCEEDED((*mesh)->LockAttributeBuffer(0, &attributes))) {
        std::copy(triangles.attributes.begin(), triangles.attributes.end(), attributes);
        (*mesh)->UnlockAttributeBuffer();
    }
    const std::vector<D3DXATTRIBUTERANGE> ranges = AttributeRanges(triangles.attributes, split.indices);
    (*mesh)->SetAttributeTable(ranges.data(), static_cast<DWORD>(ranges.size()));
    return D3D_OK;
}

ID3DXBuffer* MakeMaterialBuffer(const std::vector<XMaterial>& materials) {
    size_t size = materials.size() * sizeof(D3DXMATERIAL);
    for (const XMaterial& material : materials) {
        if (material.textureFile) size += material.textureFile->size() + 1;
    }
    auto* buffer = new Blob(size);
    auto* entries = static_cast<D3DXMATERIAL*>(buffer->GetBufferPointer());
    char* names = reinterpret_cast<char*>(entries + materials.size());
    for (size_t i = 0; i < materials.size(); ++i) {
        entries[i].MatD3D = materials[i].material;
        entries[i].pTextureFilename = nullptr;
        if (materials[i].textureFile) {
            const std::string& name = *materials[i].textureFile;
            std::memcpy(names, name.c_str(), name.size() + 1);
            entries[i].pTextureFilename = names;
            names += name.size() + 1;
        }
    }
    return buffer;
}

}  // namespace platform::d3dx

HRESULT WINAPI D3DXLoadMeshFromXW(LPCWSTR fileName, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                                  ID3DXBuffer** materials, ID3DXBuffer** effectInstances, DWORD* materialCount,
                                  ID3DXMesh** mesh) {
    using namespace platform::d3dx;
    if (fileName == nullptr || device == nullptr || mesh == nullptr) return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    if (effectInstances != nullptr) {
        std::fprintf(stderr, "D3DXLoadMeshFromXW: effect instances are not provided\n");
        return E_NOTIMPL;
    }
    std::optional<std::vector<uint8_t>> file = platform::ReadWholeFile(fileName, kMaxXFileBytes);
    if (!file) return D3DXERR_INVALIDDATA;
    std::optional<XScene> scene = ReadXFile(*file);
    if (!scene) return D3DXERR_INVALIDDATA;

    HRESULT built = BuildXMesh(*scene, options, device, mesh);
    if (FAILED(built)) return built;
    if (FAILED(ProvideAdjacency(*mesh, adjacency))) {
        (*mesh)->Release();
        *mesh = nullptr;
        return D3DERR_INVALIDCALL;
    }
    if (materials != nullptr) *materials = MakeMaterialBuffer(scene->materials);
    if (materialCount != nullptr) *materialCount = static_cast<DWORD>(scene->materials.size());
    return D3D_OK;
}

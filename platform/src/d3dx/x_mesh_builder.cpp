// D3DXLoadMeshFromX: the merged meshes of an X file turned into one ID3DXMesh with the face
// and material order that D3DX produces.
#include "d3dx/x_file.h"

#include "core/paths.h"
#include "core/report.h"
#include "core/text.h"
#include "d3dx/mesh.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string>

namespace platform::d3dx {
namespace {

// An X file larger than this is not read: it could not become a mesh D3DX would draw.
constexpr uint64_t kMaxXFileBytes = uint64_t{256} << 20;

// The triangles in the order D3DX leaves them: sorted by material, file order kept within one.
std::vector<DWORD> SortedByMaterial(const std::vector<DWORD>& attributes) {
    std::vector<DWORD> order(attributes.size());
    std::iota(order.begin(), order.end(), DWORD{0});
    std::stable_sort(order.begin(), order.end(), [&](DWORD a, DWORD b) { return attributes[a] < attributes[b]; });
    return order;
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
    if (scene.attributes.empty()) return D3DXERR_INVALIDDATA;
    const std::vector<DWORD> order = SortedByMaterial(scene.attributes);
    std::vector<DWORD> indices;
    std::vector<DWORD> attributes;
    indices.reserve(scene.indices.size());
    attributes.reserve(order.size());
    for (DWORD face : order) {
        indices.insert(indices.end(), scene.indices.begin() + face * 3, scene.indices.begin() + face * 3 + 3);
        attributes.push_back(scene.attributes[face]);
    }
    const DWORD fvf = XSceneFvf(scene);
    const DWORD faces = static_cast<DWORD>(attributes.size());
    HRESULT made = D3DXCreateMeshFVF(faces, static_cast<DWORD>(scene.vertices.size()), options, fvf, device, mesh);
    if (FAILED(made)) return made;

    void* data = nullptr;
    if (SUCCEEDED((*mesh)->LockVertexBuffer(0, &data))) {
        WriteVertices(scene.vertices, fvf, static_cast<uint8_t*>(data));
        (*mesh)->UnlockVertexBuffer();
    }
    if (SUCCEEDED((*mesh)->LockIndexBuffer(0, &data))) {
        WriteIndices(indices, (options & D3DXMESH_32BIT) != 0, data);
        (*mesh)->UnlockIndexBuffer();
    }
    DWORD* attributeBuffer = nullptr;
    if (SUCCEEDED((*mesh)->LockAttributeBuffer(0, &attributeBuffer))) {
        std::copy(attributes.begin(), attributes.end(), attributeBuffer);
        (*mesh)->UnlockAttributeBuffer();
    }
    const std::vector<D3DXATTRIBUTERANGE> ranges = AttributeRanges(attributes, indices);
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
        platform::ReportFailure("D3DXLoadMeshFromXW: effect instances are not provided");
        return E_NOTIMPL;
    }
    std::optional<std::vector<uint8_t>> file = platform::ReadWholeFile(fileName, kMaxXFileBytes);
    if (!file) return D3DXERR_INVALIDDATA;
    XReadResult read = ReadXFile(*file);
    if (!read.scene) {
        platform::ReportFailure("D3DXLoadMeshFromXW: " + platform::Utf8FromWide(fileName) + ": " + read.error);
        return D3DXERR_INVALIDDATA;
    }
    const XScene& scene = *read.scene;
    HRESULT built = BuildXMesh(scene, options, device, mesh);
    if (FAILED(built)) return built;
    if (FAILED(ProvideAdjacency(*mesh, adjacency))) {
        (*mesh)->Release();
        *mesh = nullptr;
        return D3DERR_INVALIDCALL;
    }
    if (materials != nullptr) *materials = MakeMaterialBuffer(scene.materials);
    if (materialCount != nullptr) *materialCount = static_cast<DWORD>(scene.materials.size());
    return D3D_OK;
}

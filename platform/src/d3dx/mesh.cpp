// ID3DXMesh over the device's own buffers, the empty-mesh creator and the small helpers
// around meshes (vertex size, bounding box, adjacency).
#include "d3dx/mesh.h"

#include "d3d9/fvf_layout.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>
#include <utility>

namespace platform::d3dx {

constexpr DWORD kNoNeighbour = 0xFFFFFFFF;
// The largest vertex count a 16-bit index buffer may address in a mesh.
constexpr DWORD kMaxVertices16 = 65535;

Mesh::Mesh(IDirect3DDevice9* device, DWORD faces, DWORD vertices, DWORD options, DWORD fvf,
           IDirect3DVertexBuffer9* vertexBuffer, IDirect3DIndexBuffer9* indexBuffer)
    : device_(device),
      faces_(faces),
      vertices_(vertices),
      options_(options),
      fvf_(fvf),
      vertexBuffer_(vertexBuffer),
      indexBuffer_(indexBuffer),
      attributes_(faces, 0) {
    device_->AddRef();
}

Mesh::~Mesh() {
    vertexBuffer_->Release();
    indexBuffer_->Release();
    device_->Release();
}

DWORD Mesh::GetNumBytesPerVertex() { return FvfVertexSize(fvf_); }

HRESULT Mesh::GetDevice(IDirect3DDevice9** device) {
    if (device == nullptr) return D3DERR_INVALIDCALL;
    device_->AddRef();
    *device = device_;
    return D3D_OK;
}

HRESULT Mesh::GetVertexBuffer(IDirect3DVertexBuffer9** vertexBuffer) {
    if (vertexBuffer == nullptr) return D3DERR_INVALIDCALL;
    vertexBuffer_->AddRef();
    *vertexBuffer = vertexBuffer_;
    return D3D_OK;
}

HRESULT Mesh::GetIndexBuffer(IDirect3DIndexBuffer9** indexBuffer) {
    if (indexBuffer == nullptr) return D3DERR_INVALIDCALL;
    indexBuffer_->AddRef();
    *indexBuffer = indexBuffer_;
    return D3D_OK;
}

HRESULT Mesh::LockVertexBuffer(DWORD flags, void** data) { return vertexBuffer_->Lock(0, 0, data, flags); }
HRESULT Mesh::UnlockVertexBuffer() { return vertexBuffer_->Unlock(); }
HRESULT Mesh::LockIndexBuffer(DWORD flags, void** data) { return indexBuffer_->Lock(0, 0, data, flags); }
HRESULT Mesh::UnlockIndexBuffer() { return indexBuffer_->Unlock(); }

HRESULT Mesh::GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) {
    if (table == nullptr && size == nullptr) return D3DERR_INVALIDCALL;
    if (table == nullptr) {
        *size = static_cast<DWORD>(attributeTable_.size());
        return D3D_OK;
    }
    std::copy(attributeTable_.begin(), attributeTable_.end(), table);
    if (size != nullptr) *size = static_cast<DWORD>(attributeTable_.size());
    return D3D_OK;
}

HRESULT Mesh::SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) {
    if (table == nullptr && size != 0) return D3DERR_INVALIDCALL;
    for (DWORD i = 0; i < size; ++i) {
        const D3DXATTRIBUTERANGE& range = table[i];
        if (uint64_t(range.FaceStart) + range.FaceCount > faces_ ||
            uint64_t(range.VertexStart) + range.VertexCount > vertices_) {
            return D3DERR_INVALIDCALL;
        }
    }
    attributeTable_.assign(table, table + size);
    return D3D_OK;
}

// Writing ids makes any attribute table stale, so the subsets are found from the ids again.
HRESULT Mesh::LockAttributeBuffer(DWORD flags, DWORD** data) {
    if (data == nullptr || attributesLocked_) return D3DERR_INVALIDCALL;
    attributesLocked_ = true;
    *data = attributes_.data();
    if (!(flags & D3DLOCK_READONLY)) {
        attributeTable_.clear();
        runsStale_ = true;
    }
    return D3D_OK;
}

HRESULT Mesh::UnlockAttributeBuffer() {
    if (!attributesLocked_) return D3DERR_INVALIDCALL;
    attributesLocked_ = false;
    return D3D_OK;
}

const std::vector<D3DXATTRIBUTERANGE>& Mesh::subsetRuns() {
    if (!attributeTable_.empty()) return attributeTable_;
    if (runsStale_) {
        scannedRuns_.clear();
        for (DWORD face = 0; face < faces_; ++face) {
            if (scannedRuns_.empty() || scannedRuns_.back().AttribId != attributes_[face] ||
                scannedRuns_.back().FaceStart + scannedRuns_.back().FaceCount != face) {
                scannedRuns_.push_back({attributes_[face], face, 0, 0, vertices_});
            }
            ++scannedRuns_.back().FaceCount;
        }
        runsStale_ = false;
    }
    return scannedRuns_;
}

HRESULT Mesh::DrawSubset(DWORD attribId) {
    device_->SetFVF(fvf_);
    device_->SetStreamSource(0, vertexBuffer_, 0, GetNumBytesPerVertex());
    device_->SetIndices(indexBuffer_);
    HRESULT result = D3D_OK;
    for (const D3DXATTRIBUTERANGE& run : subsetRuns()) {
        if (run.AttribId != attribId || run.FaceCount == 0) continue;
        HRESULT drawn = device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, run.VertexStart, run.VertexCount,
                                                      run.FaceStart * 3, run.FaceCount);
        if (FAILED(drawn)) result = drawn;
    }
    return result;
}

std::vector<DWORD> ComputeAdjacency(const D3DXVECTOR3* positions, UINT stride, const void* indices,
                                    bool indices32, DWORD faces) {
    auto index = [&](DWORD i) -> DWORD {
        return indices32 ? static_cast<const uint32_t*>(indices)[i] : static_cast<const uint16_t*>(indices)[i];
    };
    auto position = [&](DWORD vertex) -> std::tuple<float, float, float> {
        const auto* p = reinterpret_cast<const D3DXVECTOR3*>(reinterpret_cast<const uint8_t*>(positions) +
                                                             size_t(vertex) * stride);
        return {p->x, p->y, p->z};
    };
    using Point = std::tuple<float, float, float>;
    // Each edge once in the direction its face walks it; a neighbour walks it the other way.
    std::map<std::pair<Point, Point>, DWORD> edgeOwner;
    for (DWORD face = 0; face < faces; ++face) {
        for (int corner = 0; corner < 3; ++corner) {
            Point from = position(index(face * 3 + corner));
            Point to = position(index(face * 3 + (corner + 1) % 3));
            edgeOwner.emplace(std::make_pair(from, to), face);
        }
    }
    std::vector<DWORD> adjacency(size_t(faces) * 3, kNoNeighbour);
    for (DWORD face = 0; face < faces; ++face) {
        for (int corner = 0; corner < 3; ++corner) {
            Point from = position(index(face * 3 + corner));
            Point to = position(index(face * 3 + (corner + 1) % 3));
            auto other = edgeOwner.find(std::make_pair(to, from));
            if (other != edgeOwner.end() && other->second != face) adjacency[face * 3 + corner] = other->second;
        }
    }
    return adjacency;
}

HRESULT ProvideAdjacency(ID3DXMesh* mesh, ID3DXBuffer** adjacency) {
    if (adjacency == nullptr) return D3D_OK;
    *adjacency = nullptr;
    void* vertices = nullptr;
    void* indices = nullptr;
    if (FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertices))) return D3DERR_INVALIDCALL;
    if (FAILED(mesh->LockIndexBuffer(D3DLOCK_READONLY, &indices))) {
        mesh->UnlockVertexBuffer();
        return D3DERR_INVALIDCALL;
    }
    std::vector<DWORD> table =
        ComputeAdjacency(static_cast<const D3DXVECTOR3*>(vertices), mesh->GetNumBytesPerVertex(), indices,
                         (mesh->GetOptions() & D3DXMESH_32BIT) != 0, mesh->GetNumFaces());
    mesh->UnlockIndexBuffer();
    mesh->UnlockVertexBuffer();
    auto* blob = new Blob(table.size() * sizeof(DWORD));
    std::memcpy(blob->GetBufferPointer(), table.data(), table.size() * sizeof(DWORD));
    *adjacency = blob;
    return D3D_OK;
}

namespace {

D3DPOOL PoolOf(DWORD options, DWORD systemMemory, DWORD managed) {
    if (options & systemMemory) return D3DPOOL_SYSTEMMEM;
    if (options & managed) return D3DPOOL_MANAGED;
    return D3DPOOL_DEFAULT;
}

DWORD UsageOf(DWORD options, DWORD writeOnly, DWORD dynamic) {
    DWORD usage = 0;
    if (options & writeOnly) usage |= D3DUSAGE_WRITEONLY;
    if (options & dynamic) usage |= D3DUSAGE_DYNAMIC;
    return usage;
}

}  // namespace

}  // namespace platform::d3dx


HRESULT WINAPI D3DXCreateMeshFVF(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf,
                                 IDirect3DDevice9* device, ID3DXMesh** mesh) {
    using namespace platform::d3dx;
    if (mesh == nullptr || device == nullptr) return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    const UINT stride = platform::FvfVertexSize(fvf);
    if (numFaces == 0 || numVertices == 0 || stride == 0) return D3DERR_INVALIDCALL;
    // A 16-bit index cannot name more vertices than this.
    const bool indices32 = (options & D3DXMESH_32BIT) != 0;
    if (!indices32 && numVertices > kMaxVertices16) return D3DERR_INVALIDCALL;
    const uint64_t vertexBytes = uint64_t(numVertices) * stride;
    const uint64_t indexBytes = uint64_t(numFaces) * 3 * (indices32 ? 4 : 2);
    if (vertexBytes > UINT32_MAX || indexBytes > UINT32_MAX) return D3DERR_INVALIDCALL;

    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    HRESULT made = device->CreateVertexBuffer(
        static_cast<UINT>(vertexBytes), UsageOf(options, D3DXMESH_VB_WRITEONLY, D3DXMESH_VB_DYNAMIC), fvf,
        PoolOf(options, D3DXMESH_VB_SYSTEMMEM, D3DXMESH_VB_MANAGED), &vertexBuffer, nullptr);
    if (FAILED(made)) return made;
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    made = device->CreateIndexBuffer(static_cast<UINT>(indexBytes),
                                     UsageOf(options, D3DXMESH_IB_WRITEONLY, D3DXMESH_IB_DYNAMIC),
                                     indices32 ? D3DFMT_INDEX32 : D3DFMT_INDEX16,
                                     PoolOf(options, D3DXMESH_IB_SYSTEMMEM, D3DXMESH_IB_MANAGED), &indexBuffer, nullptr);
    if (FAILED(made)) {
        vertexBuffer->Release();
        return made;
    }
    *mesh = new Mesh(device, numFaces, numVertices, options, fvf, vertexBuffer, indexBuffer);
    return D3D_OK;
}

HRESULT WINAPI D3DXComputeBoundingBox(const D3DXVECTOR3* firstPosition, DWORD count, DWORD stride,
                                      D3DXVECTOR3* minimum, D3DXVECTOR3* maximum) {
    if (firstPosition == nullptr || minimum == nullptr || maximum == nullptr) return D3DERR_INVALIDCALL;
    *minimum = *maximum = *firstPosition;
    const auto* bytes = reinterpret_cast<const uint8_t*>(firstPosition);
    for (DWORD i = 1; i < count; ++i) {
        D3DXVECTOR3 p;
        std::memcpy(&p, bytes + size_t(i) * stride, sizeof(p));
        minimum->x = std::min(minimum->x, p.x);
        minimum->y = std::min(minimum->y, p.y);
        minimum->z = std::min(minimum->z, p.z);
        maximum->x = std::max(maximum->x, p.x);
        maximum->y = std::max(maximum->y, p.y);
        maximum->z = std::max(maximum->z, p.z);
    }
    return D3D_OK;
}

UINT WINAPI D3DXGetFVFVertexSize(DWORD fvf) { return platform::FvfVertexSize(fvf); }

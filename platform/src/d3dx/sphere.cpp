// D3DXCreateSphere: a UV sphere about the origin with its poles on the z axis, in the vertex
// and face order D3DX produces (north pole, rings from north to south, south pole).
#include "d3dx/mesh.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr UINT kMinSlices = 2;
constexpr UINT kMinStacks = 2;

struct SphereVertex {
    D3DXVECTOR3 position;
    D3DXVECTOR3 normal;
};

// Vertex number of slice j on ring s (ring 0 is next to the north pole).
struct RingIndex {
    UINT slices;
    WORD operator()(UINT j, UINT s) const { return static_cast<WORD>(s * slices + j + 1); }
};

std::vector<SphereVertex> SphereVertices(float radius, UINT slices, UINT stacks) {
    std::vector<SphereVertex> vertices;
    vertices.push_back({{0.0f, 0.0f, radius}, {0.0f, 0.0f, 1.0f}});
    const float thetaStep = D3DX_PI / stacks;
    const float phiStep = 2.0f * D3DX_PI / slices;
    for (UINT s = 0; s + 1 < stacks; ++s) {
        const float theta = (s + 1) * thetaStep;
        for (UINT j = 0; j < slices; ++j) {
            // The first slice faces +y; the others follow clockwise seen from the north pole.
            const float phi = D3DX_PI / 2.0f - j * phiStep;
            D3DXVECTOR3 normal(std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta));
            vertices.push_back({normal * radius, normal});
        }
    }
    vertices.push_back({{0.0f, 0.0f, -radius}, {0.0f, 0.0f, -1.0f}});
    return vertices;
}

// Faces wind clockwise seen from outside, so the default culling keeps the outer side.
std::vector<WORD> SphereIndices(UINT slices, UINT stacks) {
    const RingIndex at{slices};
    const WORD south = static_cast<WORD>(slices * (stacks - 1) + 1);
    const UINT lastRing = stacks - 2;
    std::vector<WORD> indices;
    auto face = [&](WORD a, WORD b, WORD c) { indices.insert(indices.end(), {a, b, c}); };
    // Slice j's predecessor is j - 1; slice 0 closes each ring with the last slice.
    auto previous = [&](UINT j) { return j == 0 ? slices - 1 : j - 1; };
    auto ringOrder = [&](UINT k) { return k < slices - 1 ? k + 1 : 0; };  // 1, 2, ..., slices-1, then 0

    for (UINT k = 0; k < slices; ++k) {
        const UINT j = ringOrder(k);
        face(0, at(j, 0), at(previous(j), 0));
    }
    for (UINT s = 1; s <= lastRing; ++s) {
        for (UINT k = 0; k < slices; ++k) {
            const UINT j = ringOrder(k);
            face(at(previous(j), s - 1), at(j, s - 1), at(previous(j), s));
            face(at(j, s - 1), at(j, s), at(previous(j), s));
        }
    }
    for (UINT k = 0; k < slices; ++k) {
        const UINT j = ringOrder(k);
        face(at(previous(j), lastRing), at(j, lastRing), south);
    }
    return indices;
}

}  // namespace

HRESULT WINAPI D3DXCreateSphere(IDirect3DDevice9* device, FLOAT radius, UINT slices, UINT stacks, ID3DXMesh** mesh,
                                ID3DXBuffer** adjacency) {
    if (device == nullptr || mesh == nullptr || slices < kMinSlices || stacks < kMinStacks || radius < 0.0f) {
        return D3DERR_INVALIDCALL;
    }
    const uint64_t vertexCount = 2 + uint64_t(slices) * (stacks - 1);
    const uint64_t faceCount = 2 * uint64_t(slices) * (stacks - 1);
    // The sphere has 16-bit indices, so its vertices must fit them.
    if (vertexCount > 65535) return D3DERR_INVALIDCALL;

    constexpr DWORD kFvf = D3DFVF_XYZ | D3DFVF_NORMAL;
    HRESULT made = D3DXCreateMeshFVF(static_cast<DWORD>(faceCount), static_cast<DWORD>(vertexCount), D3DXMESH_MANAGED,
                                     kFvf, device, mesh);
    if (FAILED(made)) return made;

    const std::vector<SphereVertex> vertices = SphereVertices(radius, slices, stacks);
    const std::vector<WORD> indices = SphereIndices(slices, stacks);
    void* data = nullptr;
    if (SUCCEEDED((*mesh)->LockVertexBuffer(0, &data))) {
        std::memcpy(data, vertices.data(), vertices.size() * sizeof(SphereVertex));
        (*mesh)->UnlockVertexBuffer();
    }
    if (SUCCEEDED((*mesh)->LockIndexBuffer(0, &data))) {
        std::memcpy(data, indices.data(), indices.size() * sizeof(WORD));
        (*mesh)->UnlockIndexBuffer();
    }
    const D3DXATTRIBUTERANGE everything = {0, 0, static_cast<DWORD>(faceCount), 0, static_cast<DWORD>(vertexCount)};
    (*mesh)->SetAttributeTable(&everything, 1);
    return platform::d3dx::ProvideAdjacency(*mesh, adjacency);
}

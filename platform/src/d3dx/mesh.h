// ID3DXMesh: a vertex buffer, a 16- or 32-bit index buffer of triangles and one attribute
// id per face, with the subset draw that D3DX builds on them; and ID3DXBuffer.
#pragma once

#include <d3dx9.h>

#include "core/com.h"

#include <cstdint>
#include <vector>

namespace platform::d3dx {

class Mesh final : public RefCounted<ID3DXMesh> {
public:
    // The mesh takes over one reference to each buffer.
    Mesh(IDirect3DDevice9* device, DWORD faces, DWORD vertices, DWORD options, DWORD fvf,
         IDirect3DVertexBuffer9* vertexBuffer, IDirect3DIndexBuffer9* indexBuffer);
    ~Mesh() override;

    HRESULT STDMETHODCALLTYPE DrawSubset(DWORD attribId) override;
    DWORD STDMETHODCALLTYPE GetNumFaces() override { return faces_; }
    DWORD STDMETHODCALLTYPE GetNumVertices() override { return vertices_; }
    DWORD STDMETHODCALLTYPE GetFVF() override { return fvf_; }
    DWORD STDMETHODCALLTYPE GetNumBytesPerVertex() override;
    DWORD STDMETHODCALLTYPE GetOptions() override { return options_; }
    HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9** device) override;
    HRESULT STDMETHODCALLTYPE GetVertexBuffer(IDirect3DVertexBuffer9** vertexBuffer) override;
    HRESULT STDMETHODCALLTYPE GetIndexBuffer(IDirect3DIndexBuffer9** indexBuffer) override;
    HRESULT STDMETHODCALLTYPE LockVertexBuffer(DWORD flags, void** data) override;
    HRESULT STDMETHODCALLTYPE UnlockVertexBuffer() override;
    HRESULT STDMETHODCALLTYPE LockIndexBuffer(DWORD flags, void** data) override;
    HRESULT STDMETHODCALLTYPE UnlockIndexBuffer() override;
    HRESULT STDMETHODCALLTYPE GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) override;
    HRESULT STDMETHODCALLTYPE LockAttributeBuffer(DWORD flags, DWORD** data) override;
    HRESULT STDMETHODCALLTYPE UnlockAttributeBuffer() override;
    HRESULT STDMETHODCALLTYPE SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) override;

private:
    // The runs of faces that DrawSubset draws: the attribute table when the mesh has one,
    // otherwise the runs of equal ids in the attribute buffer (found again after each change).
    const std::vector<D3DXATTRIBUTERANGE>& subsetRuns();

    IDirect3DDevice9* device_;
    DWORD faces_;
    DWORD vertices_;
    DWORD options_;
    DWORD fvf_;
    IDirect3DVertexBuffer9* vertexBuffer_;
    IDirect3DIndexBuffer9* indexBuffer_;
    std::vector<DWORD> attributes_;
    std::vector<D3DXATTRIBUTERANGE> attributeTable_;
    std::vector<D3DXATTRIBUTERANGE> scannedRuns_;
    bool runsStale_ = true;
    bool attributesLocked_ = false;
};

// A D3DX buffer: bytes owned by the object.
class Blob final : public RefCounted<ID3DXBuffer> {
public:
    explicit Blob(size_t size) : bytes_(size) {}
    void* STDMETHODCALLTYPE GetBufferPointer() override { return bytes_.data(); }
    DWORD STDMETHODCALLTYPE GetBufferSize() override { return static_cast<DWORD>(bytes_.size()); }

private:
    std::vector<uint8_t> bytes_;
};

// Adjacency as D3DX gives it: for each face, for each of its edges (v0-v1, v1-v2, v2-v0),
// the face on the other side of that edge, or 0xFFFFFFFF. Faces meet at an edge when its two
// ends have equal positions in both, whichever way round.
std::vector<DWORD> ComputeAdjacency(const D3DXVECTOR3* positions, UINT stride, const void* indices,
                                    bool indices32, DWORD faces);

// Hands a copy of the adjacency of a locked mesh out as a buffer (the optional out-argument of
// the mesh creators); does nothing when the caller passed no pointer.
HRESULT ProvideAdjacency(ID3DXMesh* mesh, ID3DXBuffer** adjacency);

}  // namespace platform::d3dx

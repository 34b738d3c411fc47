// Resource creation, the scene bracket, Clear, Present and the draw calls of the shared
// device: each validates as Windows does and hands the drawing device a DrawCall.
#include "d3d9/device_base.h"
#include "d3d9/formats.h"
#include "d3d9/fvf_layout.h"

namespace platform {

UINT VerticesForPrimitives(D3DPRIMITIVETYPE type, UINT primitiveCount) {
    switch (type) {
        case D3DPT_POINTLIST: return primitiveCount;
        case D3DPT_LINELIST: return primitiveCount * 2;
        case D3DPT_LINESTRIP: return primitiveCount + 1;
        case D3DPT_TRIANGLELIST: return primitiveCount * 3;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN: return primitiveCount + 2;
        default: return 0;
    }
}

// ---- resources ----------------------------------------------------------------------------

HRESULT DeviceBase::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                  D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* shared) {
    if (texture == nullptr) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (width == 0 || height == 0 || width > caps_.MaxTextureWidth || height > caps_.MaxTextureHeight) {
        return D3DERR_INVALIDCALL;
    }
    if (!IsTextureFormat(format) || levels > FullMipCount(width, height) || pool > D3DPOOL_SCRATCH) {
        return D3DERR_INVALIDCALL;
    }
    // Render-target and depth textures are outside what this layer provides.
    if (usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)) return D3DERR_NOTAVAILABLE;
    if (usage & D3DUSAGE_AUTOGENMIPMAP) levels = 1;
    *texture = new Texture(this, width, height, levels, usage, format, pool);
    return D3D_OK;
}

HRESULT DeviceBase::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       IDirect3DVertexBuffer9** vertexBuffer, HANDLE* shared) {
    if (vertexBuffer == nullptr) return D3DERR_INVALIDCALL;
    *vertexBuffer = nullptr;
    if (length == 0 || pool >= D3DPOOL_SCRATCH) return D3DERR_INVALIDCALL;
    if (fvf != 0 && length < FvfVertexSize(fvf)) return D3DERR_INVALIDCALL;
    *vertexBuffer = new VertexBuffer(this, length, usage, fvf, pool);
    return D3D_OK;
}

HRESULT DeviceBase::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DIndexBuffer9** indexBuffer, HANDLE* shared) {
    if (indexBuffer == nullptr) return D3DERR_INVALIDCALL;
    *indexBuffer = nullptr;
    if (length == 0 || pool >= D3DPOOL_SCRATCH) return D3DERR_INVALIDCALL;
    if (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32) return D3DERR_INVALIDCALL;
    *indexBuffer = new IndexBuffer(this, length, usage, format, pool);
    return D3D_OK;
}

// ---- frame --------------------------------------------------------------------------------

HRESULT DeviceBase::BeginScene() {
    if (inScene_) return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT DeviceBase::EndScene() {
    if (!inScene_) return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}

HRESULT DeviceBase::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                          DWORD stencil) {
    const DWORD known = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL;
    if ((count != 0 && rects == nullptr) || flags == 0 || (flags & ~known) != 0) return D3DERR_INVALIDCALL;
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !hasDepthStencil()) return D3DERR_INVALIDCALL;
    if ((flags & D3DCLEAR_STENCIL) && !hasStencil()) return D3DERR_INVALIDCALL;
    if (z < 0.0f || z > 1.0f) return D3DERR_INVALIDCALL;
    // Count may be 0 only when pRects is NULL, which means the whole viewport. A rectangle
    // array with a count of 0 names no rectangle: the runtime accepts the call and clears
    // nothing.
    if (count == 0 && rects != nullptr) return D3D_OK;
    onClear(count, rects, flags, color, z, stencil);
    return D3D_OK;
}

HRESULT DeviceBase::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                            const RGNDATA* dirtyRegion) {
    onPresent();
    return D3D_OK;
}

// ---- draws --------------------------------------------------------------------------------

HRESULT DeviceBase::validateDraw(D3DPRIMITIVETYPE type, UINT primitiveCount) const {
    if (!inScene_ || VerticesForPrimitives(type, 1) == 0) return D3DERR_INVALIDCALL;
    if (!DescribeFvf(state_.fvf).valid) return D3DERR_INVALIDCALL;
    return D3D_OK;
}

// The part every kind of draw shares: what to draw and how many vertices or indices that reads.
static DrawCall DrawCallFor(D3DPRIMITIVETYPE type, UINT primitiveCount) {
    DrawCall call;
    call.type = type;
    call.primitiveCount = primitiveCount;
    call.elementCount = VerticesForPrimitives(type, primitiveCount);
    return call;
}

HRESULT DeviceBase::submit(const DrawCall& call) {
    return call.primitiveCount > 0 ? onDraw(call) : D3D_OK;
}

HRESULT DeviceBase::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    HRESULT valid = validateDraw(type, primitiveCount);
    if (FAILED(valid)) return valid;
    const StreamSource& stream = state_.streams[0];
    if (stream.buffer == nullptr || stream.stride == 0) return D3DERR_INVALIDCALL;
    DrawCall call = DrawCallFor(type, primitiveCount);
    call.startVertex = startVertex;
    // Reading past the end of the buffer would fetch memory the program never wrote.
    auto* buffer = static_cast<VertexBuffer*>(stream.buffer);
    uint64_t end = stream.offset + (uint64_t(startVertex) + call.elementCount) * stream.stride;
    if (primitiveCount > 0 && end > buffer->storage().length()) return D3DERR_INVALIDCALL;
    return submit(call);
}

HRESULT DeviceBase::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex,
                                         UINT numVertices, UINT startIndex, UINT primitiveCount) {
    HRESULT valid = validateDraw(type, primitiveCount);
    if (FAILED(valid)) return valid;
    const StreamSource& stream = state_.streams[0];
    if (stream.buffer == nullptr || stream.stride == 0 || state_.indices == nullptr) return D3DERR_INVALIDCALL;
    DrawCall call = DrawCallFor(type, primitiveCount);
    call.indexed = true;
    call.baseVertex = baseVertexIndex;
    call.startIndex = startIndex;
    call.minIndex = minVertexIndex;
    call.numVertices = numVertices;
    auto* indices = static_cast<IndexBuffer*>(state_.indices);
    UINT indexSize = indices->format() == D3DFMT_INDEX32 ? 4 : 2;
    uint64_t indexEnd = (uint64_t(startIndex) + call.elementCount) * indexSize;
    if (primitiveCount > 0 && indexEnd > indices->storage().length()) return D3DERR_INVALIDCALL;
    return submit(call);
}

// As on Windows, a user-pointer draw leaves stream 0 (and for indexed draws the index
// buffer) unbound.
void DeviceBase::unbindAfterUserDraw(bool indices) {
    StreamSource& stream = state_.streams[0];
    if (stream.buffer != nullptr) stream.buffer->Release();
    stream = StreamSource{};
    if (indices && state_.indices != nullptr) {
        state_.indices->Release();
        state_.indices = nullptr;
    }
    dirty_ |= kDirtyVertexInput | kDirtyIndices;
}

HRESULT DeviceBase::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                                    UINT vertexStride) {
    HRESULT valid = validateDraw(type, primitiveCount);
    if (FAILED(valid)) return valid;
    if (vertexData == nullptr || vertexStride == 0) return D3DERR_INVALIDCALL;
    DrawCall call = DrawCallFor(type, primitiveCount);
    call.userVertices = vertexData;
    call.userStride = vertexStride;
    HRESULT drawn = submit(call);
    unbindAfterUserDraw(false);
    return drawn;
}

HRESULT DeviceBase::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices,
                                           UINT primitiveCount, const void* indexData, D3DFORMAT indexFormat,
                                           const void* vertexData, UINT vertexStride) {
    HRESULT valid = validateDraw(type, primitiveCount);
    if (FAILED(valid)) return valid;
    if (vertexData == nullptr || indexData == nullptr || vertexStride == 0 ||
        (indexFormat != D3DFMT_INDEX16 && indexFormat != D3DFMT_INDEX32)) {
        return D3DERR_INVALIDCALL;
    }
    DrawCall call = DrawCallFor(type, primitiveCount);
    call.indexed = true;
    call.minIndex = minVertexIndex;
    call.numVertices = numVertices;
    call.userVertices = vertexData;
    call.userStride = vertexStride;
    call.userIndices = indexData;
    call.userIndexFormat = indexFormat;
    HRESULT drawn = submit(call);
    unbindAfterUserDraw(true);
    return drawn;
}

}  // namespace platform

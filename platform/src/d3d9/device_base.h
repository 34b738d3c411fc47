// The part of IDirect3DDevice9 that both devices share: argument validation with the
// Windows results, the state store with its defaults, resource creation and the scene
// bracket. A drawing device implements the virtual hooks at the bottom.
#pragma once

#include "core/com.h"
#include "d3d9/device_methods.h"
#include "d3d9/device_state.h"
#include "d3d9/resources.h"

namespace platform {

// One validated draw request, in the form the drawing device needs.
struct DrawCall {
    D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST;
    UINT primitiveCount = 0;
    UINT elementCount = 0;  // vertices to fetch (non-indexed) or indices to read (indexed)
    bool indexed = false;
    UINT startVertex = 0;   // non-indexed: first vertex of stream 0
    INT baseVertex = 0;     // indexed: added to every index
    UINT startIndex = 0;
    UINT minIndex = 0;
    UINT numVertices = 0;
    // Set for DrawPrimitiveUP / DrawIndexedPrimitiveUP: the caller's memory, not a buffer.
    const void* userVertices = nullptr;
    UINT userStride = 0;
    const void* userIndices = nullptr;
    D3DFORMAT userIndexFormat = D3DFMT_INDEX16;
};

// Vertices needed for primitiveCount primitives of a type (0 for an unknown type).
UINT VerticesForPrimitives(D3DPRIMITIVETYPE type, UINT primitiveCount);

// The automatic depth-stencil buffer's format, D3DFMT_UNKNOWN when the device has none.
D3DFORMAT DepthStencilFormatOf(const D3DPRESENT_PARAMETERS& parameters);

class DeviceBase : public RefCounted<IDirect3DDevice9> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;

#define DEVICE_BASE_DECLARE(name, parameters, arguments, ...) HRESULT STDMETHODCALLTYPE name parameters override;
    D3D9_DEVICE_METHODS(DEVICE_BASE_DECLARE)
#undef DEVICE_BASE_DECLARE

    const DeviceState& state() const { return state_; }
    UINT backBufferWidth() const { return width_; }
    UINT backBufferHeight() const { return height_; }

protected:
    // depthStencilFormat: the automatic depth-stencil buffer's format, D3DFMT_UNKNOWN for none.
    DeviceBase(UINT width, UINT height, D3DFORMAT depthStencilFormat, const D3DCAPS9& caps);
    ~DeviceBase() override;

    // The back buffer surface handed out by GetBackBuffer; the device keeps one reference.
    void setBackBuffer(Surface* surface);
    // The state bits changed since the last call, cleared by the call.
    uint32_t takeDirty();
    bool hasDepthStencil() const { return depthStencilFormat_ != D3DFMT_UNKNOWN; }
    bool hasStencil() const;
    // Drops the device's references to bound textures, buffers and indices.
    void releaseBindings();

    // Hooks of the drawing device, called after validation succeeded. A draw that the device
    // could not carry out returns its failure, which the Draw method returns in turn.
    virtual void onClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) = 0;
    virtual void onPresent() = 0;
    virtual HRESULT onDraw(const DrawCall& call) = 0;

private:
    HRESULT validateDraw(D3DPRIMITIVETYPE type, UINT primitiveCount) const;
    HRESULT submit(const DrawCall& call);
    void unbindAfterUserDraw(bool indices);

    DeviceState state_;
    D3DCAPS9 caps_;
    UINT width_;
    UINT height_;
    D3DFORMAT depthStencilFormat_;
    bool inScene_ = false;
    uint32_t dirty_ = kDirtyAll;
    Surface* backBuffer_ = nullptr;
};

}  // namespace platform

// The part of IDirect3DDevice9 that both devices share: argument validation with the
// Windows results, the state store with its defaults, resource creation and the scene
// bracket. A drawing device implements the virtual hooks at the bottom.
#pragma once

#include "core/com.h"
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

    HRESULT STDMETHODCALLTYPE GetDeviceCaps(D3DCAPS9* caps) override;
    HRESULT STDMETHODCALLTYPE GetBackBuffer(UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type,
                                            IDirect3DSurface9** surface) override;
    HRESULT STDMETHODCALLTYPE CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* shared) override;
    HRESULT STDMETHODCALLTYPE CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                                 IDirect3DVertexBuffer9** vertexBuffer, HANDLE* shared) override;
    HRESULT STDMETHODCALLTYPE CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                                IDirect3DIndexBuffer9** indexBuffer, HANDLE* shared) override;

    HRESULT STDMETHODCALLTYPE BeginScene() override;
    HRESULT STDMETHODCALLTYPE EndScene() override;
    HRESULT STDMETHODCALLTYPE Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                                    DWORD stencil) override;
    HRESULT STDMETHODCALLTYPE Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                                      const RGNDATA* dirtyRegion) override;

    HRESULT STDMETHODCALLTYPE SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT STDMETHODCALLTYPE GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT STDMETHODCALLTYPE SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT STDMETHODCALLTYPE GetViewport(D3DVIEWPORT9* viewport) override;
    HRESULT STDMETHODCALLTYPE SetMaterial(const D3DMATERIAL9* material) override;
    HRESULT STDMETHODCALLTYPE GetMaterial(D3DMATERIAL9* material) override;
    HRESULT STDMETHODCALLTYPE SetLight(DWORD index, const D3DLIGHT9* light) override;
    HRESULT STDMETHODCALLTYPE GetLight(DWORD index, D3DLIGHT9* light) override;
    HRESULT STDMETHODCALLTYPE LightEnable(DWORD index, BOOL enable) override;
    HRESULT STDMETHODCALLTYPE GetLightEnable(DWORD index, BOOL* enable) override;
    HRESULT STDMETHODCALLTYPE SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT STDMETHODCALLTYPE GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT STDMETHODCALLTYPE GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
    HRESULT STDMETHODCALLTYPE SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT STDMETHODCALLTYPE GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT STDMETHODCALLTYPE SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT STDMETHODCALLTYPE GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
    HRESULT STDMETHODCALLTYPE SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;

    HRESULT STDMETHODCALLTYPE DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT STDMETHODCALLTYPE DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex,
                                                   UINT numVertices, UINT startIndex, UINT primitiveCount) override;
    HRESULT STDMETHODCALLTYPE DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                                              UINT vertexStride) override;
    HRESULT STDMETHODCALLTYPE DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices,
                                                     UINT primitiveCount, const void* indexData,
                                                     D3DFORMAT indexFormat, const void* vertexData,
                                                     UINT vertexStride) override;

    HRESULT STDMETHODCALLTYPE SetFVF(DWORD fvf) override;
    HRESULT STDMETHODCALLTYPE GetFVF(DWORD* fvf) override;
    HRESULT STDMETHODCALLTYPE SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData,
                                              UINT offsetInBytes, UINT stride) override;
    HRESULT STDMETHODCALLTYPE GetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9** streamData,
                                              UINT* offsetInBytes, UINT* stride) override;
    HRESULT STDMETHODCALLTYPE SetIndices(IDirect3DIndexBuffer9* indexData) override;
    HRESULT STDMETHODCALLTYPE GetIndices(IDirect3DIndexBuffer9** indexData) override;

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

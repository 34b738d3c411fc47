// The Direct3D 9 subset that the demo programs call. On Linux the GL device (platform/src/gl)
// draws with OpenGL 3.3; the trace device (host.h) records calls for tests.
#pragma once

#include "d3d9caps.h"
#include "d3d9types.h"

#define D3D_SDK_VERSION 32

#define _FACD3D 0x876
#define MAKE_D3DHRESULT(code) MAKE_HRESULT(1, _FACD3D, code)
#define MAKE_D3DSTATUS(code) MAKE_HRESULT(0, _FACD3D, code)
#define D3D_OK S_OK
#define D3DERR_WRONGTEXTUREFORMAT MAKE_D3DHRESULT(2072)
#define D3DERR_UNSUPPORTEDCOLOROPERATION MAKE_D3DHRESULT(2073)
#define D3DERR_UNSUPPORTEDALPHAOPERATION MAKE_D3DHRESULT(2075)
#define D3DERR_TOOMANYOPERATIONS MAKE_D3DHRESULT(2077)
#define D3DERR_CONFLICTINGRENDERSTATE MAKE_D3DHRESULT(2081)
#define D3DERR_DRIVERINTERNALERROR MAKE_D3DHRESULT(2087)
#define D3DERR_NOTFOUND MAKE_D3DHRESULT(2150)
#define D3DERR_MOREDATA MAKE_D3DHRESULT(2151)
#define D3DERR_DEVICELOST MAKE_D3DHRESULT(2152)
#define D3DERR_DEVICENOTRESET MAKE_D3DHRESULT(2153)
#define D3DERR_NOTAVAILABLE MAKE_D3DHRESULT(2154)
#define D3DERR_OUTOFVIDEOMEMORY MAKE_D3DHRESULT(380)
#define D3DERR_INVALIDDEVICE MAKE_D3DHRESULT(2155)
#define D3DERR_INVALIDCALL MAKE_D3DHRESULT(2156)
#define D3DERR_WASSTILLDRAWING MAKE_D3DHRESULT(540)

extern const IID IID_IDirect3D9;
extern const IID IID_IDirect3DDevice9;

struct IDirect3DDevice9;

struct IDirect3DResource9 : public IUnknown {
    STDMETHOD(GetDevice)(IDirect3DDevice9** device) PURE;
    STDMETHOD_(D3DRESOURCETYPE, GetType)() PURE;
};

struct IDirect3DVertexBuffer9 : public IDirect3DResource9 {
    STDMETHOD(Lock)(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) PURE;
    STDMETHOD(Unlock)() PURE;
    STDMETHOD(GetDesc)(D3DVERTEXBUFFER_DESC* desc) PURE;
};

struct IDirect3DIndexBuffer9 : public IDirect3DResource9 {
    STDMETHOD(Lock)(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) PURE;
    STDMETHOD(Unlock)() PURE;
    STDMETHOD(GetDesc)(D3DINDEXBUFFER_DESC* desc) PURE;
};

struct IDirect3DSurface9 : public IDirect3DResource9 {
    STDMETHOD(GetDesc)(D3DSURFACE_DESC* desc) PURE;
    STDMETHOD(LockRect)(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) PURE;
    STDMETHOD(UnlockRect)() PURE;
};

struct IDirect3DBaseTexture9 : public IDirect3DResource9 {
    STDMETHOD_(DWORD, GetLevelCount)() PURE;
};

struct IDirect3DTexture9 : public IDirect3DBaseTexture9 {
    STDMETHOD(GetLevelDesc)(UINT level, D3DSURFACE_DESC* desc) PURE;
    STDMETHOD(GetSurfaceLevel)(UINT level, IDirect3DSurface9** surface) PURE;
    STDMETHOD(LockRect)(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) PURE;
    STDMETHOD(UnlockRect)(UINT level) PURE;
};

struct IDirect3DDevice9 : public IUnknown {
    STDMETHOD(GetDeviceCaps)(D3DCAPS9* caps) PURE;
    STDMETHOD(GetBackBuffer)(UINT swapChain, UINT backBuffer, D3DBACKBUFFER_TYPE type,
                             IDirect3DSurface9** surface) PURE;

    STDMETHOD(CreateTexture)(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                             IDirect3DTexture9** texture, HANDLE* sharedHandle) PURE;
    STDMETHOD(CreateVertexBuffer)(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                  IDirect3DVertexBuffer9** vertexBuffer, HANDLE* sharedHandle) PURE;
    STDMETHOD(CreateIndexBuffer)(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                 IDirect3DIndexBuffer9** indexBuffer, HANDLE* sharedHandle) PURE;

    STDMETHOD(BeginScene)() PURE;
    STDMETHOD(EndScene)() PURE;
    STDMETHOD(Clear)(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) PURE;
    STDMETHOD(Present)(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                       const RGNDATA* dirtyRegion) PURE;

    STDMETHOD(SetTransform)(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) PURE;
    STDMETHOD(GetTransform)(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) PURE;
    STDMETHOD(SetViewport)(const D3DVIEWPORT9* viewport) PURE;
    STDMETHOD(GetViewport)(D3DVIEWPORT9* viewport) PURE;
    STDMETHOD(SetMaterial)(const D3DMATERIAL9* material) PURE;
    STDMETHOD(GetMaterial)(D3DMATERIAL9* material) PURE;
    STDMETHOD(SetLight)(DWORD index, const D3DLIGHT9* light) PURE;
    STDMETHOD(GetLight)(DWORD index, D3DLIGHT9* light) PURE;
    STDMETHOD(LightEnable)(DWORD index, BOOL enable) PURE;
    STDMETHOD(GetLightEnable)(DWORD index, BOOL* enable) PURE;
    STDMETHOD(SetRenderState)(D3DRENDERSTATETYPE state, DWORD value) PURE;
    STDMETHOD(GetRenderState)(D3DRENDERSTATETYPE state, DWORD* value) PURE;
    STDMETHOD(GetTexture)(DWORD stage, IDirect3DBaseTexture9** texture) PURE;
    STDMETHOD(SetTexture)(DWORD stage, IDirect3DBaseTexture9* texture) PURE;
    STDMETHOD(GetTextureStageState)(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) PURE;
    STDMETHOD(SetTextureStageState)(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) PURE;
    STDMETHOD(GetSamplerState)(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) PURE;
    STDMETHOD(SetSamplerState)(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) PURE;

    STDMETHOD(DrawPrimitive)(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) PURE;
    STDMETHOD(DrawIndexedPrimitive)(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex,
                                    UINT numVertices, UINT startIndex, UINT primitiveCount) PURE;
    STDMETHOD(DrawPrimitiveUP)(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                               UINT vertexStride) PURE;
    STDMETHOD(DrawIndexedPrimitiveUP)(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices,
                                      UINT primitiveCount, const void* indexData, D3DFORMAT indexFormat,
                                      const void* vertexData, UINT vertexStride) PURE;

    STDMETHOD(SetFVF)(DWORD fvf) PURE;
    STDMETHOD(GetFVF)(DWORD* fvf) PURE;
    STDMETHOD(SetStreamSource)(UINT streamNumber, IDirect3DVertexBuffer9* streamData, UINT offsetInBytes,
                               UINT stride) PURE;
    STDMETHOD(GetStreamSource)(UINT streamNumber, IDirect3DVertexBuffer9** streamData, UINT* offsetInBytes,
                               UINT* stride) PURE;
    STDMETHOD(SetIndices)(IDirect3DIndexBuffer9* indexData) PURE;
    STDMETHOD(GetIndices)(IDirect3DIndexBuffer9** indexData) PURE;
};
typedef IDirect3DDevice9* LPDIRECT3DDEVICE9;
typedef IDirect3DDevice9* PDIRECT3DDEVICE9;
typedef IDirect3DVertexBuffer9* LPDIRECT3DVERTEXBUFFER9;
typedef IDirect3DIndexBuffer9* LPDIRECT3DINDEXBUFFER9;
typedef IDirect3DTexture9* LPDIRECT3DTEXTURE9;
typedef IDirect3DBaseTexture9* LPDIRECT3DBASETEXTURE9;
typedef IDirect3DSurface9* LPDIRECT3DSURFACE9;

struct IDirect3D9 : public IUnknown {
    STDMETHOD_(UINT, GetAdapterCount)() PURE;
    STDMETHOD(CheckDeviceType)(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                               D3DFORMAT backBufferFormat, BOOL windowed) PURE;
    STDMETHOD(CheckDeviceFormat)(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                                 D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) PURE;
    STDMETHOD(GetDeviceCaps)(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS9* caps) PURE;
    STDMETHOD(CreateDevice)(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                            D3DPRESENT_PARAMETERS* presentationParameters,
                            IDirect3DDevice9** returnedDeviceInterface) PURE;
};
typedef IDirect3D9* LPDIRECT3D9;

IDirect3D9* WINAPI Direct3DCreate9(UINT sdkVersion);

// Direct3DCreate9 and IDirect3D9: one adapter (the GL context), one HAL device type.
#include "core/com.h"
#include "d3d9/device_caps.h"
#include "d3d9/trace_device.h"
#include "gl/gl_device_factory.h"
#include "window/window_internal.h"

#include <algorithm>

#include <host.h>

namespace platform {
namespace {

// Set by host::RefuseDevices: CreateDevice fails as on a machine without a usable adapter.
bool g_refuseDevices = false;

bool IsDisplayFormat(D3DFORMAT format) { return format == D3DFMT_X8R8G8B8; }

bool IsBackBufferFormat(D3DFORMAT format) { return format == D3DFMT_X8R8G8B8 || format == D3DFMT_A8R8G8B8; }

bool IsDepthFormat(D3DFORMAT format) {
    return format == D3DFMT_D24S8 || format == D3DFMT_D24X8 || format == D3DFMT_D16;
}

class Direct3D9 final : public RefCounted<IDirect3D9> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object != nullptr && riid == IID_IDirect3D9) {
            AddRef();
            *object = static_cast<IDirect3D9*>(this);
            return S_OK;
        }
        return RefCounted<IDirect3D9>::QueryInterface(riid, object);
    }

    UINT STDMETHODCALLTYPE GetAdapterCount() override { return 1; }

    HRESULT STDMETHODCALLTYPE CheckDeviceType(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                              D3DFORMAT backBufferFormat, BOOL windowed) override {
        if (adapter != 0) return D3DERR_INVALIDCALL;
        if (deviceType != D3DDEVTYPE_HAL || !IsDisplayFormat(adapterFormat)) return D3DERR_NOTAVAILABLE;
        if (backBufferFormat == D3DFMT_UNKNOWN) return windowed ? D3D_OK : D3DERR_INVALIDCALL;
        return IsBackBufferFormat(backBufferFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT STDMETHODCALLTYPE CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                                DWORD usage, D3DRESOURCETYPE resourceType,
                                                D3DFORMAT checkFormat) override {
        if (adapter != 0) return D3DERR_INVALIDCALL;
        if (deviceType != D3DDEVTYPE_HAL || !IsDisplayFormat(adapterFormat)) return D3DERR_NOTAVAILABLE;
        if (usage & D3DUSAGE_DEPTHSTENCIL) {
            return resourceType == D3DRTYPE_SURFACE && IsDepthFormat(checkFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
        }
        if (usage & D3DUSAGE_RENDERTARGET) {
            return resourceType == D3DRTYPE_SURFACE && IsBackBufferFormat(checkFormat) ? D3D_OK
                                                                                       : D3DERR_NOTAVAILABLE;
        }
        if (resourceType == D3DRTYPE_TEXTURE || resourceType == D3DRTYPE_SURFACE) {
            bool supported = checkFormat == D3DFMT_A8R8G8B8 || checkFormat == D3DFMT_X8R8G8B8 ||
                             checkFormat == D3DFMT_L8 || checkFormat == D3DFMT_DXT1 || checkFormat == D3DFMT_DXT3 ||
                             checkFormat == D3DFMT_DXT5;
            return supported ? D3D_OK : D3DERR_NOTAVAILABLE;
        }
        return D3DERR_NOTAVAILABLE;
    }

    HRESULT STDMETHODCALLTYPE GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS9* caps) override {
        if (adapter != 0 || caps == nullptr) return D3DERR_INVALIDCALL;
        if (deviceType != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
        if (!TraceDevicesRequested(caps)) *caps = DefaultDeviceCaps();
        return D3D_OK;
    }

    HRESULT STDMETHODCALLTYPE CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow,
                                           DWORD behaviorFlags, D3DPRESENT_PARAMETERS* parameters,
                                           IDirect3DDevice9** device) override {
        if (device == nullptr) return D3DERR_INVALIDCALL;
        *device = nullptr;
        if (adapter != 0 || parameters == nullptr) return D3DERR_INVALIDCALL;
        if (deviceType != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
        HRESULT valid = completeParameters(focusWindow, parameters);
        if (FAILED(valid)) return valid;
        if (g_refuseDevices) return D3DERR_NOTAVAILABLE;
        D3DCAPS9 traceCaps;
        if (TraceDevicesRequested(&traceCaps)) {
            *device = new TraceDevice(parameters->BackBufferWidth, parameters->BackBufferHeight,
                                      DepthStencilFormatOf(*parameters), traceCaps);
            return D3D_OK;
        }
        HWND window = parameters->hDeviceWindow != nullptr ? parameters->hDeviceWindow : focusWindow;
        return CreateGlDevice(window, *parameters, device);
    }

private:
    // Checks the presentation parameters and fills in what the caller left to the runtime,
    // as Windows writes them back: the client size for 0, the display format for UNKNOWN.
    static HRESULT completeParameters(HWND focusWindow, D3DPRESENT_PARAMETERS* parameters) {
        HWND window = parameters->hDeviceWindow != nullptr ? parameters->hDeviceWindow : focusWindow;
        if (window == nullptr || parameters->SwapEffect < D3DSWAPEFFECT_DISCARD ||
            parameters->SwapEffect > D3DSWAPEFFECT_COPY || parameters->BackBufferCount > 3) {
            return D3DERR_INVALIDCALL;
        }
        if (parameters->BackBufferFormat == D3DFMT_UNKNOWN) {
            if (!parameters->Windowed) return D3DERR_INVALIDCALL;
            parameters->BackBufferFormat = D3DFMT_X8R8G8B8;
        }
        if (!IsBackBufferFormat(parameters->BackBufferFormat)) return D3DERR_NOTAVAILABLE;
        if (parameters->EnableAutoDepthStencil && !IsDepthFormat(parameters->AutoDepthStencilFormat)) {
            return D3DERR_INVALIDCALL;
        }
        if (parameters->BackBufferWidth == 0 || parameters->BackBufferHeight == 0) {
            int width = 0;
            int height = 0;
            ClientSizeOf(window, &width, &height);
            if (parameters->BackBufferWidth == 0) parameters->BackBufferWidth = std::max(1, width);
            if (parameters->BackBufferHeight == 0) parameters->BackBufferHeight = std::max(1, height);
        }
        if (parameters->BackBufferCount == 0) parameters->BackBufferCount = 1;
        return D3D_OK;
    }
};

}  // namespace
}  // namespace platform

IDirect3D9* WINAPI Direct3DCreate9(UINT sdkVersion) {
    // The runtime accepts the version its headers define, with or without the debug flag.
    if ((sdkVersion & 0x7fffffff) != D3D_SDK_VERSION) return nullptr;
    return new platform::Direct3D9();
}

void host::RefuseDevices(bool refuse) { platform::g_refuseDevices = refuse; }

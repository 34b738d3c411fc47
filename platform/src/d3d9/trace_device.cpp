#include "d3d9/trace_device.h"

#include "d3d9/device_caps.h"
#include "d3d9/enum_names.h"
#include "d3d9/trace_format.h"

#include <host.h>

#include <initializer_list>
#include <type_traits>

namespace platform {
namespace {

// The list names every method of the interface: a class implementing IUnknown and exactly the
// listed methods is not abstract. (Each `override` already refuses a listed method that the
// interface lacks.) A method added to IDirect3DDevice9 alone stops the build here.
struct ListedMethodsOnly final : IDirect3DDevice9 {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    uint32_t STDMETHODCALLTYPE AddRef() override { return 1; }
    uint32_t STDMETHODCALLTYPE Release() override { return 1; }
#define LISTED_METHOD(name, parameters, arguments, ...) \
    HRESULT STDMETHODCALLTYPE name parameters override { return D3DERR_INVALIDCALL; }
    D3D9_DEVICE_METHODS(LISTED_METHOD)
#undef LISTED_METHOD
};
static_assert(!std::is_abstract_v<ListedMethodsOnly>, "D3D9_DEVICE_METHODS misses a method of IDirect3DDevice9");

std::string Call(const char* name, std::initializer_list<std::string> arguments) {
    std::string line = name;
    line += "(";
    bool first = true;
    for (const std::string& argument : arguments) {
        if (!first) line += ", ";
        line += argument;
        first = false;
    }
    return line + ")";
}

bool g_useTraceDevices = false;
bool g_hasTraceCaps = false;
D3DCAPS9 g_traceCaps{};

}  // namespace

TraceDevice::TraceDevice(UINT width, UINT height, D3DFORMAT depthStencilFormat, const D3DCAPS9& caps)
    : DeviceBase(width, height, depthStencilFormat, caps) {
    setBackBuffer(new Surface(this, width, height, D3DFMT_X8R8G8B8, true, nullptr));
}

#define TRACE_DEVICE_DEFINE(name, parameters, arguments, ...)          \
    HRESULT TraceDevice::name parameters {                              \
        if (recording_) record(Call(#name, {__VA_ARGS__}));             \
        return DeviceBase::name arguments;                              \
    }
D3D9_DEVICE_METHODS(TRACE_DEVICE_DEFINE)
#undef TRACE_DEVICE_DEFINE

bool TraceDevicesRequested(D3DCAPS9* caps) {
    if (g_useTraceDevices && caps != nullptr) *caps = g_hasTraceCaps ? g_traceCaps : DefaultDeviceCaps();
    return g_useTraceDevices;
}

}  // namespace platform

namespace host {

IDirect3DDevice9* CreateTraceDevice(UINT backBufferWidth, UINT backBufferHeight, const D3DCAPS9* caps) {
    D3DCAPS9 chosen = caps != nullptr ? *caps : platform::DefaultDeviceCaps();
    return new platform::TraceDevice(backBufferWidth, backBufferHeight, D3DFMT_D24S8, chosen);
}

const std::vector<std::string>& TraceCalls(IDirect3DDevice9* traceDevice) {
    static const std::vector<std::string> kNone;
    auto* trace = dynamic_cast<platform::TraceDevice*>(traceDevice);
    return trace != nullptr ? trace->calls() : kNone;
}

void ClearTrace(IDirect3DDevice9* traceDevice) {
    if (auto* trace = dynamic_cast<platform::TraceDevice*>(traceDevice)) trace->clearCalls();
}

void SetTraceRecording(IDirect3DDevice9* traceDevice, bool recording) {
    if (auto* trace = dynamic_cast<platform::TraceDevice*>(traceDevice)) trace->setRecording(recording);
}

void UseTraceDevices(bool enable, const D3DCAPS9* caps) {
    platform::g_useTraceDevices = enable;
    platform::g_hasTraceCaps = caps != nullptr;
    if (caps != nullptr) platform::g_traceCaps = *caps;
}

}  // namespace host

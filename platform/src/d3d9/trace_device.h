// The trace device: the shared device with a recorder in front of every method, drawing
// nothing. Each call becomes one line, "Name(arg, arg, ...)": enumeration values by their
// D3D constant names, other integers in decimal, colours as 0xaarrggbb, floats as %g,
// pointers as "null" or "ptr", matrices as [11 12 13 14; 21 ...; 41 42 43 44].
#pragma once

#include "d3d9/device_base.h"

#include <string>
#include <vector>

namespace platform {

class TraceDevice final : public DeviceBase {
public:
    TraceDevice(UINT width, UINT height, D3DFORMAT depthStencilFormat, const D3DCAPS9& caps);

    const std::vector<std::string>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }

    // Each method records its call, then does what the shared device does.
#define TRACE_DEVICE_DECLARE(name, parameters, arguments, ...) HRESULT STDMETHODCALLTYPE name parameters override;
    D3D9_DEVICE_METHODS(TRACE_DEVICE_DECLARE)
#undef TRACE_DEVICE_DECLARE

    // Off while a benchmark times the calling code alone: the lines are not even formatted.
    void setRecording(bool recording) { recording_ = recording; }

protected:
    void onClear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) override {}
    void onPresent() override {}
    HRESULT onDraw(const DrawCall&) override { return D3D_OK; }

private:
    void record(std::string line) { calls_.push_back(std::move(line)); }

    std::vector<std::string> calls_;
    bool recording_ = true;
};

// Set by host::UseTraceDevices: whether Direct3DCreate9's CreateDevice makes trace devices,
// and with which caps.
bool TraceDevicesRequested(D3DCAPS9* caps);

}  // namespace platform

// host::SetPresentHook, SetFinishOnPresent and ReadBackBuffer.
#include "gl/present_hooks.h"

#include "gl/gl_device.h"
#include "window/window_internal.h"

#include <host.h>

#include <functional>

namespace platform {
namespace {

struct PresentHooks {
    std::function<void(IDirect3DDevice9*)> hook;
    bool finish = false;
};

PresentHooks& Hooks() {
    static PresentHooks hooks;
    return hooks;
}

// host::Reset forgets the hooks along with the window system's state.
void ForgetHooks() { Hooks() = PresentHooks(); }

void RegisterResetOnce() {
    static bool registered = false;
    if (registered) return;
    AddResetHandler(&ForgetHooks);
    registered = true;
}

}  // namespace

void RunPresentHook(IDirect3DDevice9* device) {
    if (Hooks().hook) Hooks().hook(device);
}

bool FinishOnPresent() { return Hooks().finish; }

}  // namespace platform

namespace host {

void SetPresentHook(std::function<void(IDirect3DDevice9*)> hook) {
    platform::RegisterResetOnce();
    platform::Hooks().hook = std::move(hook);
}

void SetFinishOnPresent(bool finish) {
    platform::RegisterResetOnce();
    platform::Hooks().finish = finish;
}

bool ReadBackBuffer(IDirect3DDevice9* device, int* width, int* height, std::vector<uint32_t>* argb) {
    auto* gl = dynamic_cast<platform::GlDevice*>(device);
    if (gl == nullptr || width == nullptr || height == nullptr || argb == nullptr) return false;
    *width = static_cast<int>(gl->backBufferWidth());
    *height = static_cast<int>(gl->backBufferHeight());
    gl->readBackBuffer(argb);
    return true;
}

}  // namespace host

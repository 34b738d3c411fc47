#include "window/window_state.h"

#include "window/backend.h"
#include "window/window_internal.h"

#include <algorithm>

namespace platform::window {

WindowSystem& System() {
    static WindowSystem system;
    return system;
}

Window* WindowOf(HWND handle) {
    if (handle == nullptr) return nullptr;
    auto found = System().windows.find(handle);
    return found == System().windows.end() ? nullptr : found->second.get();
}

Window* MainWindow() {
    for (HWND handle : System().creationOrder) {
        if (Window* window = WindowOf(handle)) return window;
    }
    return nullptr;
}

void Enqueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const InputEffect& effect) {
    QueuedMessage queued;
    queued.msg.hwnd = window;
    queued.msg.message = message;
    queued.msg.wParam = wParam;
    queued.msg.lParam = lParam;
    queued.msg.time = GetTickCount();
    queued.msg.pt = System().cursor;
    queued.effect = effect;
    System().queue.push_back(queued);
}

void DropMessagesOf(HWND window) {
    auto& queue = System().queue;
    queue.erase(std::remove_if(queue.begin(), queue.end(),
                               [window](const QueuedMessage& queued) { return queued.msg.hwnd == window; }),
                queue.end());
}

LPARAM PackPoint(int x, int y) { return MAKELPARAM(static_cast<int16_t>(x), static_cast<int16_t>(y)); }

void ResetWindowSystem() {
    WindowSystem& system = System();
    for (auto& [handle, window] : system.windows) {
        DestroyNativeWindow(window->native);
    }
    // Handles stay unique across resets, so a stale handle never names a new window.
    uintptr_t nextHandle = system.nextHandle;
    system = WindowSystem{};
    system.nextHandle = nextHandle;
}

}  // namespace platform::window

namespace platform {

window::NativeWindow* NativeWindowOf(HWND handle) {
    window::Window* window = window::WindowOf(handle);
    return window == nullptr ? nullptr : window->native;
}

void ClientSizeOf(HWND handle, int* width, int* height) {
    window::Window* window = window::WindowOf(handle);
    if (width != nullptr) *width = window == nullptr ? 0 : window->clientWidth;
    if (height != nullptr) *height = window == nullptr ? 0 : window->clientHeight;
}

}  // namespace platform

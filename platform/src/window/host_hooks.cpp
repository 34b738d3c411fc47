// The runner's and the tests' hands on the window system: the idle hook, injected input and
// the reset between programs.
#include "window/backend.h"
#include "window/input_state.h"
#include "window/key_map.h"
#include "window/window_internal.h"
#include "window/window_state.h"

#include <host.h>

#include <optional>
#include <vector>

using namespace platform::window;

namespace {

std::vector<void (*)()>& ResetHandlers() {
    static std::vector<void (*)()> handlers;
    return handlers;
}

std::optional<bool> chosenHeadless;

HWND MainHandle() {
    Window* window = MainWindow();
    return window == nullptr ? nullptr : window->handle;
}

}  // namespace

namespace host {

void SetHeadless(bool headless) { chosenHeadless = headless; }

bool IsHeadless() { return chosenHeadless.has_value() ? *chosenHeadless : !NativeDisplayAvailable(); }

int EndMain(int result) {
    EndProgram(result);
    return result;
}

}  // namespace host

namespace platform {

void AddResetHandler(void (*handler)()) {
    for (auto known : ResetHandlers()) {
        if (known == handler) return;
    }
    ResetHandlers().push_back(handler);
}

}  // namespace platform

namespace host {

void SetIdleHook(std::function<void()> hook) { System().idleHook = std::move(hook); }

void InjectKey(int virtualKey, bool down) {
    if (virtualKey <= 0 || virtualKey > 0xFF) return;
    PostKeyMessage(MainHandle(), virtualKey, platform::window::ScanCodeOfVirtualKey(virtualKey), down);
}

void InjectMouseMove(int clientX, int clientY) {
    HWND window = MainHandle();
    POINT previous = System().cursor;
    ScreenToClient(window, &previous);
    System().cursorVirtual = true;
    PostMouseMove(window, clientX, clientY, clientX - previous.x, clientY - previous.y);
}

void InjectMouseButton(int button, bool down) {
    if (button != 0 && button != 1) return;
    PostMouseButton(MainHandle(), button, down);
}

void InjectClose() {
    if (HWND window = MainHandle()) Enqueue(window, WM_CLOSE, 0, 0);
}

void SetForeground(bool foreground) { PostFocusChange(MainHandle(), foreground); }

int ScanCodeOfVirtualKey(int virtualKey) { return platform::window::ScanCodeOfVirtualKey(virtualKey); }

void Reset() {
    // The other parts go first: a GL context must be dropped while its window still exists.
    for (auto handler : ResetHandlers()) handler();
    ResetWindowSystem();
    ResetInputState();
    ResetMessageBoxes();
}

}  // namespace host

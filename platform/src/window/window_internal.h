// What the rest of the platform layer needs to know about a window created by CreateWindowExW.
#pragma once

#include <windows.h>

namespace platform {

namespace window {
struct NativeWindow;
}

// The backend's window behind a handle, or null for a handle that is not a live window.
window::NativeWindow* NativeWindowOf(HWND window);
// The current client area of a window in pixels (0 x 0 for an unknown handle).
void ClientSizeOf(HWND window, int* width, int* height);

// Called by host::Reset before the windows are destroyed, so that other parts of the layer
// can drop their hooks, listeners and GL objects too.
void AddResetHandler(void (*handler)());

}  // namespace platform

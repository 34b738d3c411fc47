// What the rest of the platform layer needs to know about a window created by CreateWindowExW.
#pragma once

#include <windows.h>

struct SDL_Window;

namespace platform {

// The SDL window behind a handle, or null for a handle that is not a live window.
SDL_Window* SdlWindowOf(HWND window);
// The current client area of a window in pixels (0 x 0 for an unknown handle).
void ClientSizeOf(HWND window, int* width, int* height);

}  // namespace platform

// What the rest of the platform layer needs to know about a window created by CreateWindowExW.
#pragma once

#include <windows.h>

struct SDL_Window;

namespace platform {

// The SDL window behind a handle, or null for a handle that is not a live window.
// Windows are created with SDL_WINDOW_OPENGL after the GL attributes were set to a 3.3 core
// context (not forward-compatible) with a 24-bit depth and 8-bit stencil buffer.
SDL_Window* SdlWindowOf(HWND window);
// The current client area of a window in pixels (0 x 0 for an unknown handle).
void ClientSizeOf(HWND window, int* width, int* height);

// Asks SDL for the context of the chosen GL profile (gl/gl_profile.h): 3.3 core or ES 3.0.
void RequestGlContext();

// Starts SDL's video subsystem once, with the offscreen driver in headless mode. False when
// SDL could not start it.
bool EnsureVideo();

// Under the sanitizers, keeps every library loaded so far loaded until the process ends:
// LeakSanitizer reports at exit what the GL driver kept, and a driver unloaded with its last
// window or context leaves memory that belongs to no library, which no suppression can name
// (scripts/lsan-suppressions.txt names the driver's). Nothing in other builds.
void KeepLibrariesLoadedForLeakChecks();

// Called by host::Reset before the windows are destroyed, so that other parts of the layer
// can drop their hooks, listeners and GL objects too.
void AddResetHandler(void (*handler)());

}  // namespace platform

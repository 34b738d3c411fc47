// The window system underneath the layer: what windows, the message queue, the cursor, message
// boxes and the GL device ask of the machine. One backend is linked: SDL2 natively (the sdl_*
// files of this folder), the page in the browser (the web_* files). Everything else in
// window/ and gl/ is shared and speaks only to these functions.
#pragma once

#include <windows.h>

#include <string>

namespace platform::window {

struct Window;
// The backend's own window (an SDL window; the page's canvas).
struct NativeWindow;

// Whether a display is there to show windows on; without one the layer runs headless.
bool NativeDisplayAvailable();

// Starts the window system once; false when it cannot start.
bool StartWindowSystem();

// A window of the window's client size at its clientOrigin, shown or hidden as it says,
// ready for a GL context of the chosen profile with depth and stencil. Null on failure.
NativeWindow* CreateNativeWindow(const std::string& utf8Title, const Window& window);
void DestroyNativeWindow(NativeWindow* native);
void ShowNativeWindow(NativeWindow* native, bool shown);
void SetNativeWindowTitle(NativeWindow* native, const std::string& utf8Title);

// Turns what happened since the last call into queued messages.
void PumpNativeEvents();
// Waits until something happens or the time passes. In the browser this is where the
// program's loop yields to the page.
void WaitForNativeEvents(int milliseconds);

// The real pointer, where there is one that the window system reports and moves (not
// headless); the layer keeps its own record otherwise.
bool HasRealPointer();
POINT RealPointerPosition();
void MoveRealPointer(int x, int y);
void ShowRealPointer(bool shown);

// A modal message box with the buttons of a MessageBox type; returns the button pressed,
// 0 when none could be shown. The caller's messages keep being dispatched meanwhile.
int ShowNativeMessageBox(NativeWindow* owner, const std::string& utf8Text, const std::string& utf8Caption,
                         UINT type);

// main has returned this: the program ends (the browser's page is told; natively nothing
// is left to do).
void EndProgram(int result);

// A GL context of the chosen profile on the window, made current; null when none can be made.
void* CreateGlContext(NativeWindow* native);
void MakeGlContextCurrent(NativeWindow* native, void* context);
void SwapGlWindow(NativeWindow* native);
void DeleteGlContext(void* context);

}  // namespace platform::window

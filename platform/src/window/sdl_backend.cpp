// The window system on SDL2: windows, the pointer, waiting for events and GL contexts. SDL
// events become messages in sdl_events.cpp, message boxes are in sdl_message_box.cpp.
#include "gl/gl_profile.h"
#include "window/backend.h"
#include "window/window_internal.h"
#include "window/window_state.h"

#include <host.h>

#include <SDL.h>

#include <dlfcn.h>
#include <link.h>

#include <cstdlib>

namespace {

// Under the sanitizers, keeps every library loaded so far loaded until the process ends:
// LeakSanitizer reports at exit what the GL driver kept, and a driver unloaded with its last
// window or context leaves memory that belongs to no library, which no suppression can name
// (scripts/lsan-suppressions.txt names the driver's). Nothing in other builds.
#if defined(__SANITIZE_ADDRESS__)
void KeepLibrariesLoadedForLeakChecks() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}
#else
void KeepLibrariesLoadedForLeakChecks() {}
#endif

}  // namespace

namespace platform::window {
namespace {

// Not forward-compatible: that would make wide lines an error.
void RequestGlContext() {
    const bool es = EsProfile();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, es ? 0 : 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, es ? SDL_GL_CONTEXT_PROFILE_ES : SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, 0);
}

SDL_Window* Sdl(NativeWindow* native) { return reinterpret_cast<SDL_Window*>(native); }

}  // namespace

bool NativeDisplayAvailable() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

bool StartWindowSystem() {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
    // The offscreen driver gives a GL context through EGL with no display at all.
    if (host::IsHeadless()) setenv("SDL_VIDEODRIVER", "offscreen", 1);
    // Closing the last window already arrives as its own WM_CLOSE; a quit event then comes
    // only from the system (SIGINT, SIGTERM).
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    // GLX and EGL pick the window's visual when it is created, so depth and stencil must be
    // requested before the first window.
    RequestGlContext();
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    return true;
}

NativeWindow* CreateNativeWindow(const std::string& utf8Title, const Window& window) {
    Uint32 flags = SDL_WINDOW_OPENGL | (window.visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
    if (window.style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
    if ((window.style & WS_CAPTION) == 0) flags |= SDL_WINDOW_BORDERLESS;
    SDL_Window* created = SDL_CreateWindow(utf8Title.c_str(), window.clientOrigin.x, window.clientOrigin.y,
                                           window.clientWidth, window.clientHeight, flags);
    KeepLibrariesLoadedForLeakChecks();  // the GL library came with the first window
    return reinterpret_cast<NativeWindow*>(created);
}

void DestroyNativeWindow(NativeWindow* native) {
    if (native != nullptr) SDL_DestroyWindow(Sdl(native));
}

void ShowNativeWindow(NativeWindow* native, bool shown) {
    if (shown) SDL_ShowWindow(Sdl(native));
    else SDL_HideWindow(Sdl(native));
}

void SetNativeWindowTitle(NativeWindow* native, const std::string& utf8Title) {
    SDL_SetWindowTitle(Sdl(native), utf8Title.c_str());
}

void WaitForNativeEvents(int milliseconds) {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_WaitEventTimeout(nullptr, milliseconds);
    else SDL_Delay(static_cast<Uint32>(milliseconds));
}

bool HasRealPointer() { return !host::IsHeadless() && SDL_WasInit(SDL_INIT_VIDEO) != 0; }

POINT RealPointerPosition() {
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    return {x, y};
}

void MoveRealPointer(int x, int y) { SDL_WarpMouseGlobal(x, y); }

void ShowRealPointer(bool shown) { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }

void EndProgram(int) {}

void* CreateGlContext(NativeWindow* native) {
    RequestGlContext();
    SDL_GLContext context = SDL_GL_CreateContext(Sdl(native));
    if (context == nullptr) return nullptr;
    KeepLibrariesLoadedForLeakChecks();
    SDL_GL_MakeCurrent(Sdl(native), context);
    SDL_GL_SetSwapInterval(0);  // D3DPRESENT_INTERVAL_IMMEDIATE
    return context;
}

void MakeGlContextCurrent(NativeWindow* native, void* context) {
    SDL_GL_MakeCurrent(Sdl(native), static_cast<SDL_GLContext>(context));
}

void SwapGlWindow(NativeWindow* native) { SDL_GL_SwapWindow(Sdl(native)); }

void DeleteGlContext(void* context) { SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context)); }

}  // namespace platform::window

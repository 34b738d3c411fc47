// Starting SDL's video subsystem, on the real display or headless.
#include "gl/gl_profile.h"
#include "window/window_internal.h"

#include <host.h>

#include <SDL.h>

#include <dlfcn.h>
#include <link.h>

#include <cstdlib>
#include <optional>

namespace {

std::optional<bool> chosenHeadless;

bool DisplayAvailable() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

void SetGlAttributes() {
    // GLX and EGL pick the window's visual when it is created, so depth and stencil must be
    // requested before the first window.
    platform::RequestGlContext();
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

}  // namespace

namespace host {

void SetHeadless(bool headless) { chosenHeadless = headless; }

bool IsHeadless() { return chosenHeadless.has_value() ? *chosenHeadless : !DisplayAvailable(); }

}  // namespace host

namespace platform {

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

void RequestGlContext() {
    // Not forward-compatible: that would make wide lines an error.
    const bool es = EsProfile();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, es ? 0 : 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, es ? SDL_GL_CONTEXT_PROFILE_ES : SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, 0);
}

bool EnsureVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
    // The offscreen driver gives a GL context through EGL with no display at all.
    if (host::IsHeadless()) setenv("SDL_VIDEODRIVER", "offscreen", 1);
    // Closing the last window already arrives as its own WM_CLOSE; a quit event then comes
    // only from the system (SIGINT, SIGTERM).
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    SetGlAttributes();
    return true;
}

}  // namespace platform

// SDL events become the window messages Windows would queue for the same user actions.
#include "window/backend.h"
#include "window/input_state.h"
#include "window/key_map.h"
#include "window/window_state.h"

#include <SDL.h>

namespace platform::window {
namespace {

Window* WindowOfSdlId(Uint32 id) {
    for (auto& [handle, window] : System().windows) {
        if (window->native != nullptr && SDL_GetWindowID(reinterpret_cast<SDL_Window*>(window->native)) == id) return window.get();
    }
    return nullptr;
}

// Input without a known window goes to the main window, as Windows sends it to the focus.
HWND InputTarget(Uint32 id) {
    Window* window = WindowOfSdlId(id);
    if (window == nullptr) window = MainWindow();
    return window == nullptr ? nullptr : window->handle;
}

void PostSize(Window* window, WPARAM kind) {
    Enqueue(window->handle, WM_SIZE, kind, MAKELPARAM(window->clientWidth, window->clientHeight));
}

void TranslateWindowEvent(const SDL_WindowEvent& event) {
    Window* window = WindowOfSdlId(event.windowID);
    if (window == nullptr) return;
    switch (event.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
            if (event.data1 == window->clientWidth && event.data2 == window->clientHeight) break;
            window->clientWidth = event.data1;
            window->clientHeight = event.data2;
            bool maximized = (SDL_GetWindowFlags(reinterpret_cast<SDL_Window*>(window->native)) & SDL_WINDOW_MAXIMIZED) != 0;
            PostSize(window, maximized ? SIZE_MAXIMIZED : SIZE_RESTORED);
            break;
        }
        case SDL_WINDOWEVENT_MINIMIZED:
            // A minimised window has an empty client area.
            window->minimized = true;
            window->clientWidth = window->clientHeight = 0;
            PostSize(window, SIZE_MINIMIZED);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            if (!window->minimized) break;
            window->minimized = false;
            SDL_GetWindowSize(reinterpret_cast<SDL_Window*>(window->native), &window->clientWidth, &window->clientHeight);
            PostSize(window, SIZE_RESTORED);
            break;
        case SDL_WINDOWEVENT_MOVED:
            if (event.data1 == window->clientOrigin.x && event.data2 == window->clientOrigin.y) break;
            window->clientOrigin = {event.data1, event.data2};
            Enqueue(window->handle, WM_MOVE, 0, MAKELPARAM(event.data1, event.data2));
            break;
        case SDL_WINDOWEVENT_CLOSE:
            Enqueue(window->handle, WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            PostFocusChange(window->handle, true);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            PostFocusChange(window->handle, false);
            break;
        default:
            break;
    }
}

void TranslateKey(const SDL_KeyboardEvent& event) {
    bool numLock = (SDL_GetModState() & KMOD_NUM) != 0;
    KeyCodes codes = KeyCodesOfUsbUsage(event.keysym.scancode, numLock);
    if (codes.virtualKey == 0) return;
    PostKeyMessage(InputTarget(event.windowID), codes.virtualKey, codes.scanCode, event.type == SDL_KEYDOWN);
}

void TranslateMotion(const SDL_MouseMotionEvent& event) {
    WindowSystem& system = System();
    HWND target = InputTarget(event.windowID);
    Window* window = WindowOf(target);
    int dx = event.xrel, dy = event.yrel;
    if (system.warpPending && window != nullptr && window->clientOrigin.x + event.x == system.warpTarget.x &&
        window->clientOrigin.y + event.y == system.warpTarget.y) {
        system.warpPending = false;
        dx = dy = 0;
    }
    system.cursorVirtual = false;
    PostMouseMove(target, event.x, event.y, dx, dy);
}

int ButtonIndex(Uint8 sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT: return 0;
        case SDL_BUTTON_RIGHT: return 1;
        case SDL_BUTTON_MIDDLE: return 2;
        default: return -1;
    }
}

void TranslateButton(const SDL_MouseButtonEvent& event) {
    int button = ButtonIndex(event.button);
    if (button < 0) return;
    HWND target = InputTarget(event.windowID);
    if (Window* window = WindowOf(target)) {
        System().cursor = {window->clientOrigin.x + event.x, window->clientOrigin.y + event.y};
    }
    PostMouseButton(target, button, event.type == SDL_MOUSEBUTTONDOWN);
}

// SDL turns SIGINT and SIGTERM into a quit event. The program hears it as a system request
// to close its main window, so its own WM_CLOSE handling ends the loop and releases
// everything; a thread without windows gets the quit message itself.
void TranslateQuit() {
    if (Window* window = MainWindow()) {
        Enqueue(window->handle, WM_CLOSE, 0, 0);
    } else {
        PostQuitMessage(0);
    }
}

void Translate(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT: TranslateQuit(); break;
        case SDL_WINDOWEVENT: TranslateWindowEvent(event.window); break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: TranslateKey(event.key); break;
        case SDL_MOUSEMOTION: TranslateMotion(event.motion); break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: TranslateButton(event.button); break;
        case SDL_MOUSEWHEEL: PostMouseWheel(InputTarget(event.wheel.windowID), event.wheel.y); break;
        default: break;
    }
}

}  // namespace

void PumpNativeEvents() {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) Translate(event);
}

}  // namespace platform::window

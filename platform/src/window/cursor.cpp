// The cursor in screen coordinates. Headless, and after injected moves, the cursor is the
// window system's own record; on a display the real pointer is asked and moved.
#include "window/window_state.h"

#include <host.h>

#include <SDL.h>

using namespace platform::window;

namespace {

bool RealPointer() { return !host::IsHeadless() && SDL_WasInit(SDL_INIT_VIDEO) != 0; }

}  // namespace

BOOL WINAPI GetCursorPos(LPPOINT point) {
    if (point == nullptr) return FALSE;
    if (RealPointer() && !System().cursorVirtual) {
        int x = 0, y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        *point = {x, y};
        return TRUE;
    }
    *point = System().cursor;
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    WindowSystem& system = System();
    system.cursor = {x, y};
    if (RealPointer()) {
        SDL_WarpMouseGlobal(x, y);
        system.warpPending = true;
        system.warpTarget = {x, y};
    }
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND handle, LPPOINT point) {
    Window* window = WindowOf(handle);
    if (window == nullptr || point == nullptr) return FALSE;
    point->x -= window->clientOrigin.x;
    point->y -= window->clientOrigin.y;
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND handle, LPPOINT point) {
    Window* window = WindowOf(handle);
    if (window == nullptr || point == nullptr) return FALSE;
    point->x += window->clientOrigin.x;
    point->y += window->clientOrigin.y;
    return TRUE;
}

int WINAPI ShowCursor(BOOL show) {
    // Windows keeps a display count: the cursor shows while it is zero or more.
    int& count = System().cursorDisplayCount;
    count += show ? 1 : -1;
    if (RealPointer()) SDL_ShowCursor(count >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return count;
}

// The cursor in screen coordinates. Headless, and after injected moves, the cursor is the
// window system's own record; on a display the real pointer is asked and moved.
#include "window/backend.h"
#include "window/window_state.h"

#include <host.h>

using namespace platform::window;

BOOL WINAPI GetCursorPos(LPPOINT point) {
    if (point == nullptr) return FALSE;
    if (HasRealPointer() && !System().cursorVirtual) {
        *point = RealPointerPosition();
        return TRUE;
    }
    *point = System().cursor;
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    WindowSystem& system = System();
    system.cursor = {x, y};
    if (HasRealPointer()) {
        MoveRealPointer(x, y);
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
    if (HasRealPointer()) ShowRealPointer(count >= 0);
    return count;
}

// The page's events become the window messages Windows would queue for the same user actions:
// keys by their KeyboardEvent.code, the mouse over the canvas, focus of the page.
#include "window/backend.h"
#include "window/key_map.h"
#include "window/window_state.h"

#include <emscripten/html5.h>

#include <iterator>

namespace platform::window {
namespace {

constexpr char kCanvas[] = "#canvas";
// The page's mouse buttons (0 left, 1 middle, 2 right) as the layer counts them.
constexpr int kButtonOfDomButton[] = {0, 2, 1};
// DOM_DELTA_PIXEL wheels give about this many pixels a notch.
constexpr double kPixelsPerNotch = 100.0;

HWND Target() {
    Window* window = MainWindow();
    return window == nullptr ? nullptr : window->handle;
}

// The page has no Num Lock state to read: the keypad types digits, as with Num Lock on.
constexpr bool kNumLock = true;

// True keeps the browser from acting on the key too (F1 help, F5 reload, Tab focus).
EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
    const KeyCodes codes = KeyCodesOfDomCode(event->code, kNumLock);
    if (codes.virtualKey == 0) return EM_FALSE;
    PostKeyMessage(Target(), codes.virtualKey, codes.scanCode, eventType == EMSCRIPTEN_EVENT_KEYDOWN);
    return EM_TRUE;
}

EM_BOOL OnMouseMove(int, const EmscriptenMouseEvent* event, void*) {
    System().cursorVirtual = false;
    PostMouseMove(Target(), static_cast<int>(event->targetX), static_cast<int>(event->targetY),
                  static_cast<int>(event->movementX), static_cast<int>(event->movementY));
    return EM_TRUE;
}

EM_BOOL OnMouseButton(int eventType, const EmscriptenMouseEvent* event, void*) {
    if (event->button >= std::size(kButtonOfDomButton)) return EM_FALSE;
    HWND target = Target();
    if (Window* window = WindowOf(target)) {
        System().cursor = {window->clientOrigin.x + static_cast<LONG>(event->targetX),
                           window->clientOrigin.y + static_cast<LONG>(event->targetY)};
    }
    PostMouseButton(target, kButtonOfDomButton[event->button], eventType == EMSCRIPTEN_EVENT_MOUSEDOWN);
    return EM_TRUE;
}

EM_BOOL OnWheel(int, const EmscriptenWheelEvent* event, void*) {
    // Up, away from the user, is a positive notch for Windows and a negative delta here.
    const double notches = event->deltaMode == DOM_DELTA_PIXEL ? -event->deltaY / kPixelsPerNotch : -event->deltaY;
    const int whole = notches > 0 ? (notches < 1 ? 1 : static_cast<int>(notches))
                                  : (notches > -1 ? -1 : static_cast<int>(notches));
    if (event->deltaY != 0) PostMouseWheel(Target(), whole);
    return EM_TRUE;
}

EM_BOOL OnFocus(int eventType, const EmscriptenFocusEvent*, void*) {
    if (HWND target = Target()) PostFocusChange(target, eventType == EMSCRIPTEN_EVENT_FOCUS);
    return EM_FALSE;
}

}  // namespace

void ListenToThePage() {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
    emscripten_set_mousemove_callback(kCanvas, nullptr, EM_TRUE, OnMouseMove);
    emscripten_set_mousedown_callback(kCanvas, nullptr, EM_TRUE, OnMouseButton);
    emscripten_set_mouseup_callback(kCanvas, nullptr, EM_TRUE, OnMouseButton);
    emscripten_set_wheel_callback(kCanvas, nullptr, EM_TRUE, OnWheel);
    emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnFocus);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnFocus);
}

}  // namespace platform::window

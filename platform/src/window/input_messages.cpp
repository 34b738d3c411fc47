// Keyboard and mouse input turned into window messages, the way Windows fills them in.
#include "window/input_state.h"
#include "window/key_map.h"
#include "window/window_state.h"

#include <initializer_list>

namespace platform::window {
namespace {

bool AnyDown(std::initializer_list<int> virtualKeys) {
    for (int key : virtualKeys) {
        if (System().keyDown[key]) return true;
    }
    return false;
}

bool AltHeld() { return AnyDown({VK_MENU, VK_LMENU, VK_RMENU}); }
bool ControlHeld() { return AnyDown({VK_CONTROL, VK_LCONTROL, VK_RCONTROL}); }
bool ShiftHeld() { return AnyDown({VK_SHIFT, VK_LSHIFT, VK_RSHIFT}); }

// Bits 0-15 repeat count, 16-23 scan code, 24 extended key, 29 Alt held, 30 previous state,
// 31 transition. A DIK_ code is the scan code with the extended flag in its top bit.
LPARAM KeyParam(int scanCode, bool down, bool wasDown, bool alt) {
    uint32_t value = 1;
    value |= static_cast<uint32_t>(scanCode & 0x7F) << 16;
    if (scanCode & 0x80) value |= 1u << 24;
    if (alt) value |= 1u << 29;
    if (wasDown) value |= 1u << 30;
    if (!down) value |= 1u << 31;
    return static_cast<LPARAM>(value);
}

WPARAM MouseKeyFlags() {
    const WindowSystem& system = System();
    WPARAM flags = 0;
    if (system.buttonDown[0]) flags |= MK_LBUTTON;
    if (system.buttonDown[1]) flags |= MK_RBUTTON;
    if (system.buttonDown[2]) flags |= MK_MBUTTON;
    if (ShiftHeld()) flags |= MK_SHIFT;
    if (ControlHeld()) flags |= MK_CONTROL;
    return flags;
}

POINT ClientCursor(HWND handle) {
    POINT point = System().cursor;
    if (Window* window = WindowOf(handle)) {
        point.x -= window->clientOrigin.x;
        point.y -= window->clientOrigin.y;
    }
    return point;
}

}  // namespace

void PostKeyMessage(HWND window, int virtualKey, int scanCode, bool down) {
    int slot = virtualKey & 0xFF;
    bool wasDown = System().keyDown[slot];
    System().keyDown[slot] = down;
    int messageKey = MessageVirtualKey(virtualKey);
    bool isAlt = messageKey == VK_MENU;
    // Alt turns keys into system keys, unless Ctrl is held too (AltGr); F10 always is one.
    bool alt = AltHeld() || (isAlt && wasDown);
    bool system = (alt && !ControlHeld()) || messageKey == VK_F10;
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    InputEffect effect;
    effect.kind = InputEffect::Kind::Key;
    effect.scanCode = scanCode;
    effect.down = down;
    Enqueue(window, message, messageKey, KeyParam(scanCode, down, wasDown, alt), effect);
}

void PostMouseMove(HWND window, int clientX, int clientY, int dx, int dy) {
    POINT origin{};
    if (Window* target = WindowOf(window)) origin = target->clientOrigin;
    System().cursor = {origin.x + clientX, origin.y + clientY};
    InputEffect effect;
    effect.kind = InputEffect::Kind::Motion;
    effect.dx = dx;
    effect.dy = dy;
    Enqueue(window, WM_MOUSEMOVE, MouseKeyFlags(), PackPoint(clientX, clientY), effect);
}

void PostMouseButton(HWND window, int button, bool down) {
    if (button < 0 || button > 2) return;
    System().buttonDown[button] = down;
    static constexpr UINT kDown[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static constexpr UINT kUp[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    InputEffect effect;
    effect.kind = InputEffect::Kind::Button;
    effect.button = button;
    effect.down = down;
    POINT client = ClientCursor(window);
    Enqueue(window, down ? kDown[button] : kUp[button], MouseKeyFlags(), PackPoint(client.x, client.y), effect);
}

void PostMouseWheel(HWND window, int notches) {
    InputEffect effect;
    effect.kind = InputEffect::Kind::Wheel;
    effect.wheel = notches * WHEEL_DELTA;
    // The wheel message carries the distance in the high word and screen coordinates.
    WPARAM wParam = MouseKeyFlags() | (static_cast<WPARAM>(static_cast<uint16_t>(notches * WHEEL_DELTA)) << 16);
    Enqueue(window, WM_MOUSEWHEEL, wParam, PackPoint(System().cursor.x, System().cursor.y), effect);
}

void PostFocusChange(HWND window, bool gained) {
    // SDL repeats what it already said (a new window is shown and focused), so only real
    // changes become messages.
    if (Input().foreground == gained) return;
    SetForegroundState(gained);
    if (window == nullptr) return;
    Enqueue(window, WM_ACTIVATE, gained ? WA_ACTIVE : WA_INACTIVE, 0);
    Enqueue(window, gained ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
}

}  // namespace platform::window

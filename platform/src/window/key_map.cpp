#include "window/key_map.h"

#include <dinput.h>
#include <windows.h>

#include <cstring>

namespace platform::window {
namespace {

struct KeyEntry {
    int usbUsage;         // the USB HID usage of the key: SDL's scancode
    const char* domCode;  // the browser's KeyboardEvent.code
    int virtualKey;
    int scanCode;
};

// Every key of a 105-key PC keyboard, as the window systems below name it and as Windows and
// DirectInput do. Order matters where two keys share a virtual-key code: the main block comes
// first, so it wins in ScanCodeOfVirtualKey.
constexpr KeyEntry kKeys[] = {
    {0x29, "Escape", VK_ESCAPE, DIK_ESCAPE},
    {0x1E, "Digit1", '1', DIK_1},
    {0x1F, "Digit2", '2', DIK_2},
    {0x20, "Digit3", '3', DIK_3},
    {0x21, "Digit4", '4', DIK_4},
    {0x22, "Digit5", '5', DIK_5},
    {0x23, "Digit6", '6', DIK_6},
    {0x24, "Digit7", '7', DIK_7},
    {0x25, "Digit8", '8', DIK_8},
    {0x26, "Digit9", '9', DIK_9},
    {0x27, "Digit0", '0', DIK_0},
    {0x2D, "Minus", VK_OEM_MINUS, DIK_MINUS},
    {0x2E, "Equal", VK_OEM_PLUS, DIK_EQUALS},
    {0x2A, "Backspace", VK_BACK, DIK_BACK},
    {0x2B, "Tab", VK_TAB, DIK_TAB},
    {0x14, "KeyQ", 'Q', DIK_Q},
    {0x1A, "KeyW", 'W', DIK_W},
    {0x08, "KeyE", 'E', DIK_E},
    {0x15, "KeyR", 'R', DIK_R},
    {0x17, "KeyT", 'T', DIK_T},
    {0x1C, "KeyY", 'Y', DIK_Y},
    {0x18, "KeyU", 'U', DIK_U},
    {0x0C, "KeyI", 'I', DIK_I},
    {0x12, "KeyO", 'O', DIK_O},
    {0x13, "KeyP", 'P', DIK_P},
    {0x2F, "BracketLeft", VK_OEM_4, DIK_LBRACKET},
    {0x30, "BracketRight", VK_OEM_6, DIK_RBRACKET},
    {0x28, "Enter", VK_RETURN, DIK_RETURN},
    {0xE0, "ControlLeft", VK_LCONTROL, DIK_LCONTROL},
    {0x04, "KeyA", 'A', DIK_A},
    {0x16, "KeyS", 'S', DIK_S},
    {0x07, "KeyD", 'D', DIK_D},
    {0x09, "KeyF", 'F', DIK_F},
    {0x0A, "KeyG", 'G', DIK_G},
    {0x0B, "KeyH", 'H', DIK_H},
    {0x0D, "KeyJ", 'J', DIK_J},
    {0x0E, "KeyK", 'K', DIK_K},
    {0x0F, "KeyL", 'L', DIK_L},
    {0x33, "Semicolon", VK_OEM_1, DIK_SEMICOLON},
    {0x34, "Quote", VK_OEM_7, DIK_APOSTROPHE},
    {0x35, "Backquote", VK_OEM_3, DIK_GRAVE},
    {0xE1, "ShiftLeft", VK_LSHIFT, DIK_LSHIFT},
    {0x31, "Backslash", VK_OEM_5, DIK_BACKSLASH},
    {0x32, "IntlHash", VK_OEM_5, DIK_BACKSLASH},
    {0x1D, "KeyZ", 'Z', DIK_Z},
    {0x1B, "KeyX", 'X', DIK_X},
    {0x06, "KeyC", 'C', DIK_C},
    {0x19, "KeyV", 'V', DIK_V},
    {0x05, "KeyB", 'B', DIK_B},
    {0x11, "KeyN", 'N', DIK_N},
    {0x10, "KeyM", 'M', DIK_M},
    {0x36, "Comma", VK_OEM_COMMA, DIK_COMMA},
    {0x37, "Period", VK_OEM_PERIOD, DIK_PERIOD},
    {0x38, "Slash", VK_OEM_2, DIK_SLASH},
    {0xE5, "ShiftRight", VK_RSHIFT, DIK_RSHIFT},
    {0xE2, "AltLeft", VK_LMENU, DIK_LMENU},
    {0x2C, "Space", VK_SPACE, DIK_SPACE},
    {0x39, "CapsLock", VK_CAPITAL, DIK_CAPITAL},
    {0x3A, "F1", VK_F1, DIK_F1},
    {0x3B, "F2", VK_F2, DIK_F2},
    {0x3C, "F3", VK_F3, DIK_F3},
    {0x3D, "F4", VK_F4, DIK_F4},
    {0x3E, "F5", VK_F5, DIK_F5},
    {0x3F, "F6", VK_F6, DIK_F6},
    {0x40, "F7", VK_F7, DIK_F7},
    {0x41, "F8", VK_F8, DIK_F8},
    {0x42, "F9", VK_F9, DIK_F9},
    {0x43, "F10", VK_F10, DIK_F10},
    {0x44, "F11", VK_F11, DIK_F11},
    {0x45, "F12", VK_F12, DIK_F12},
    {0x64, "IntlBackslash", VK_OEM_102, DIK_OEM_102},
    {0xE4, "ControlRight", VK_RCONTROL, DIK_RCONTROL},
    {0xE6, "AltRight", VK_RMENU, DIK_RMENU},
    {0x46, "PrintScreen", VK_SNAPSHOT, DIK_SYSRQ},
    {0x47, "ScrollLock", VK_SCROLL, DIK_SCROLL},
    {0x48, "Pause", VK_PAUSE, DIK_PAUSE},
    {0x49, "Insert", VK_INSERT, DIK_INSERT},
    {0x4A, "Home", VK_HOME, DIK_HOME},
    {0x4B, "PageUp", VK_PRIOR, DIK_PRIOR},
    {0x4C, "Delete", VK_DELETE, DIK_DELETE},
    {0x4D, "End", VK_END, DIK_END},
    {0x4E, "PageDown", VK_NEXT, DIK_NEXT},
    {0x52, "ArrowUp", VK_UP, DIK_UP},
    {0x50, "ArrowLeft", VK_LEFT, DIK_LEFT},
    {0x51, "ArrowDown", VK_DOWN, DIK_DOWN},
    {0x4F, "ArrowRight", VK_RIGHT, DIK_RIGHT},
    {0xE3, "MetaLeft", VK_LWIN, DIK_LWIN},
    {0xE7, "MetaRight", VK_RWIN, DIK_RWIN},
    {0x65, "ContextMenu", VK_APPS, DIK_APPS},
    {0x53, "NumLock", VK_NUMLOCK, DIK_NUMLOCK},
    {0x54, "NumpadDivide", VK_DIVIDE, DIK_DIVIDE},
    {0x55, "NumpadMultiply", VK_MULTIPLY, DIK_MULTIPLY},
    {0x56, "NumpadSubtract", VK_SUBTRACT, DIK_SUBTRACT},
    {0x57, "NumpadAdd", VK_ADD, DIK_ADD},
    {0x58, "NumpadEnter", VK_RETURN, DIK_NUMPADENTER},
    {0x5F, "Numpad7", VK_NUMPAD7, DIK_NUMPAD7},
    {0x60, "Numpad8", VK_NUMPAD8, DIK_NUMPAD8},
    {0x61, "Numpad9", VK_NUMPAD9, DIK_NUMPAD9},
    {0x5C, "Numpad4", VK_NUMPAD4, DIK_NUMPAD4},
    {0x5D, "Numpad5", VK_NUMPAD5, DIK_NUMPAD5},
    {0x5E, "Numpad6", VK_NUMPAD6, DIK_NUMPAD6},
    {0x59, "Numpad1", VK_NUMPAD1, DIK_NUMPAD1},
    {0x5A, "Numpad2", VK_NUMPAD2, DIK_NUMPAD2},
    {0x5B, "Numpad3", VK_NUMPAD3, DIK_NUMPAD3},
    {0x62, "Numpad0", VK_NUMPAD0, DIK_NUMPAD0},
    {0x63, "NumpadDecimal", VK_DECIMAL, DIK_DECIMAL},
};

// What the keypad's digit and decimal keys report with Num Lock off.
int NavigationKeyOfKeypad(int scanCode) {
    switch (scanCode) {
        case DIK_NUMPAD0: return VK_INSERT;
        case DIK_NUMPAD1: return VK_END;
        case DIK_NUMPAD2: return VK_DOWN;
        case DIK_NUMPAD3: return VK_NEXT;
        case DIK_NUMPAD4: return VK_LEFT;
        case DIK_NUMPAD5: return VK_CLEAR;
        case DIK_NUMPAD6: return VK_RIGHT;
        case DIK_NUMPAD7: return VK_HOME;
        case DIK_NUMPAD8: return VK_UP;
        case DIK_NUMPAD9: return VK_PRIOR;
        case DIK_DECIMAL: return VK_DELETE;
        default: return 0;
    }
}

template <typename Matches>
KeyCodes KeyCodesOf(Matches matches, bool numLock) {
    for (const KeyEntry& entry : kKeys) {
        if (!matches(entry)) continue;
        int navigation = numLock ? 0 : NavigationKeyOfKeypad(entry.scanCode);
        return {navigation != 0 ? navigation : entry.virtualKey, entry.scanCode};
    }
    return {};
}

}  // namespace

KeyCodes KeyCodesOfUsbUsage(int usage, bool numLock) {
    return KeyCodesOf([usage](const KeyEntry& entry) { return entry.usbUsage == usage; }, numLock);
}

KeyCodes KeyCodesOfDomCode(const char* code, bool numLock) {
    if (code == nullptr) return {};
    return KeyCodesOf([code](const KeyEntry& entry) { return std::strcmp(entry.domCode, code) == 0; }, numLock);
}

int ScanCodeOfVirtualKey(int virtualKey) {
    switch (virtualKey) {
        case VK_SHIFT: return DIK_LSHIFT;
        case VK_CONTROL: return DIK_LCONTROL;
        case VK_MENU: return DIK_LMENU;
        default: break;
    }
    for (const KeyEntry& entry : kKeys) {
        if (entry.virtualKey == virtualKey) return entry.scanCode;
    }
    return 0;
}

int MessageVirtualKey(int virtualKey) {
    switch (virtualKey) {
        case VK_LSHIFT: case VK_RSHIFT: return VK_SHIFT;
        case VK_LCONTROL: case VK_RCONTROL: return VK_CONTROL;
        case VK_LMENU: case VK_RMENU: return VK_MENU;
        default: return virtualKey;
    }
}

}  // namespace platform::window

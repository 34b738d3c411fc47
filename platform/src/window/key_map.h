// Key codes of the keyboards the layer speaks: USB usages (SDL's scancodes) and the browser's
// KeyboardEvent.code names (what the window systems report), Windows virtual-key codes
// (window messages) and DirectInput scan codes (DIK_), all from one table.
#pragma once

namespace platform::window {

struct KeyCodes {
    int virtualKey = 0;
    int scanCode = 0;  // the DIK_ code; 0 when the key has none
};

// The codes of a physical key. With Num Lock off the keypad's digit keys report the
// navigation keys' virtual-key codes, as on Windows; their scan codes stay the keypad's.
KeyCodes KeyCodesOfUsbUsage(int usage, bool numLock);
KeyCodes KeyCodesOfDomCode(const char* code, bool numLock);

// The DIK_ code of a virtual-key code (the main block's key where two keys share a code,
// such as VK_RETURN); 0 when the key has none.
int ScanCodeOfVirtualKey(int virtualKey);

// The code that window messages carry: left and right modifier codes become VK_SHIFT,
// VK_CONTROL and VK_MENU.
int MessageVirtualKey(int virtualKey);

}  // namespace platform::window

// The one table of keys, read by the SDL backend by USB usage and by the browser's by
// KeyboardEvent.code: both names of a key give the same codes. Expected values from the USB
// HID usage tables, the DOM's code names and the Windows and DirectInput headers' meanings.
#include "window/key_map.h"

#include <dinput.h>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

using platform::window::KeyCodes;
using platform::window::KeyCodesOfDomCode;
using platform::window::KeyCodesOfUsbUsage;

struct NamedKey {
    int usage;
    const char* domCode;
    int virtualKey;
    int scanCode;
};

TEST(KeyMap, BothNamesOfAKeyGiveItsCodes) {
    constexpr bool kNumLock = true;
    const NamedKey keys[] = {
        {0x1A, "KeyW", 'W', DIK_W},
        {0x3A, "F1", VK_F1, DIK_F1},
        {0x3E, "F5", VK_F5, DIK_F5},
        {0x29, "Escape", VK_ESCAPE, DIK_ESCAPE},
        {0x2C, "Space", VK_SPACE, DIK_SPACE},
        {0x27, "Digit0", '0', DIK_0},
        {0xE5, "ShiftRight", VK_RSHIFT, DIK_RSHIFT},
        {0x50, "ArrowLeft", VK_LEFT, DIK_LEFT},
        {0x57, "NumpadAdd", VK_ADD, DIK_ADD},
        {0x58, "NumpadEnter", VK_RETURN, DIK_NUMPADENTER},
        {0x5F, "Numpad7", VK_NUMPAD7, DIK_NUMPAD7},
    };
    for (const NamedKey& key : keys) {
        const KeyCodes byUsage = KeyCodesOfUsbUsage(key.usage, kNumLock);
        const KeyCodes byName = KeyCodesOfDomCode(key.domCode, kNumLock);
        EXPECT_EQ(byUsage.virtualKey, key.virtualKey) << key.domCode;
        EXPECT_EQ(byUsage.scanCode, key.scanCode) << key.domCode;
        EXPECT_EQ(byName.virtualKey, key.virtualKey) << key.domCode;
        EXPECT_EQ(byName.scanCode, key.scanCode) << key.domCode;
    }
    // Without Num Lock the keypad's 7 is Home, by either name, and keeps its own scan code.
    EXPECT_EQ(KeyCodesOfDomCode("Numpad7", false).virtualKey, VK_HOME);
    EXPECT_EQ(KeyCodesOfUsbUsage(0x5F, false).scanCode, DIK_NUMPAD7);
    // Keys the table lacks have no codes.
    EXPECT_EQ(KeyCodesOfDomCode("Fn", kNumLock).virtualKey, 0);
    EXPECT_EQ(KeyCodesOfDomCode(nullptr, kNumLock).virtualKey, 0);
}

}  // namespace

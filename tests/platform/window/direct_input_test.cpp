#include "tests/platform/window/window_fixture.h"

#include <dinput.h>

#include <array>

namespace {

class DirectInput : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window_ = CreateMainWindow();
        ASSERT_NE(window_, nullptr);
        ASSERT_EQ(DirectInput8Create(GetModuleHandleW(nullptr), 0x0800, IID_IDirectInput8W,
                                     reinterpret_cast<void**>(&input_), nullptr),
                  DI_OK);
        keyboard_ = Open(GUID_SysKeyboard, &c_dfDIKeyboard);
        mouse_ = Open(GUID_SysMouse, &c_dfDIMouse);
        DrainQueue();
        Received().clear();
    }

    void TearDown() override {
        if (keyboard_ != nullptr) keyboard_->Release();
        if (mouse_ != nullptr) mouse_->Release();
        if (input_ != nullptr) input_->Release();
        WindowTest::TearDown();
    }

    IDirectInputDevice8W* Open(REFGUID guid, const DIDATAFORMAT* format) {
        IDirectInputDevice8W* device = nullptr;
        EXPECT_EQ(input_->CreateDevice(guid, &device, nullptr), DI_OK);
        if (device == nullptr) return nullptr;
        EXPECT_EQ(device->SetDataFormat(format), DI_OK);
        EXPECT_EQ(device->SetCooperativeLevel(window_, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
        EXPECT_EQ(device->Acquire(), DI_OK);
        return device;
    }

    std::array<uint8_t, 256> ReadKeyboard() {
        std::array<uint8_t, 256> keys{};
        EXPECT_EQ(keyboard_->GetDeviceState(256, keys.data()), DI_OK);
        return keys;
    }

    DIMOUSESTATE ReadMouse() {
        DIMOUSESTATE state{};
        EXPECT_EQ(mouse_->GetDeviceState(sizeof(state), &state), DI_OK);
        return state;
    }

    HWND window_ = nullptr;
    IDirectInput8W* input_ = nullptr;
    IDirectInputDevice8W* keyboard_ = nullptr;
    IDirectInputDevice8W* mouse_ = nullptr;
};

TEST_F(DirectInput, KeyStateChangesWhenTheMessageIsRetrieved) {
    host::InjectKey(VK_ADD, true);
    EXPECT_EQ(ReadKeyboard()[0x4E], 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(ReadKeyboard()[0x4E], 0);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(ReadKeyboard()[0x4E], 0x80);
    // A held key repeats its WM_KEYDOWN and stays down.
    host::InjectKey(VK_ADD, true);
    DrainQueue();
    EXPECT_EQ(ReadKeyboard()[0x4E], 0x80);
    host::InjectKey(VK_ADD, false);
    DrainQueue();
    EXPECT_EQ(ReadKeyboard()[0x4E], 0);
}

TEST_F(DirectInput, KeyboardStateUsesTheDikLayout) {
    const int keys[] = {VK_NUMPAD0, VK_NUMPAD7, VK_SUBTRACT, VK_DECIMAL, VK_DIVIDE, VK_MULTIPLY,
                        VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_HOME, VK_END, VK_PRIOR, VK_NEXT,
                        VK_F1, VK_F11, VK_F12, 'W', 'A', '1', '0', VK_ESCAPE, VK_SPACE, VK_RCONTROL};
    for (int key : keys) host::InjectKey(key, true);
    DrainQueue();
    std::array<uint8_t, 256> state = ReadKeyboard();
    const int expected[] = {0x52, 0x47, 0x4A, 0x53, 0xB5, 0x37, 0xC8, 0xD0, 0xCB, 0xCD, 0xC7, 0xCF,
                            0xC9, 0xD1, 0x3B, 0x57, 0x58, 0x11, 0x1E, 0x02, 0x0B, 0x01, 0x39, 0x9D};
    int down = 0;
    for (int code : expected) EXPECT_EQ(state[code], 0x80) << "DIK code " << code;
    for (uint8_t byte : state) down += byte == 0x80;
    EXPECT_EQ(down, static_cast<int>(std::size(expected)));
}

TEST_F(DirectInput, ScanCodesOfVirtualKeys) {
    EXPECT_EQ(host::ScanCodeOfVirtualKey(VK_ADD), 0x4E);
    EXPECT_EQ(host::ScanCodeOfVirtualKey(VK_SUBTRACT), 0x4A);
    EXPECT_EQ(host::ScanCodeOfVirtualKey(VK_UP), 0xC8);
    EXPECT_EQ(host::ScanCodeOfVirtualKey(VK_HOME), 0xC7);
    EXPECT_EQ(host::ScanCodeOfVirtualKey(VK_F10), 0x44);
    EXPECT_EQ(host::ScanCodeOfVirtualKey('Z'), 0x2C);
    // Enter exists twice; the main block's key is meant.
    EXPECT_EQ(host::ScanCodeOfVirtualKey(VK_RETURN), 0x1C);
    EXPECT_EQ(host::ScanCodeOfVirtualKey(VK_CONTROL), 0x1D);
    EXPECT_EQ(host::ScanCodeOfVirtualKey(0x07), 0);
}

TEST_F(DirectInput, MouseReportsMotionSinceTheLastRead) {
    host::InjectMouseMove(100, 100);
    DrainQueue();
    ReadMouse();
    host::InjectMouseMove(110, 95);
    host::InjectMouseMove(130, 90);
    DIMOUSESTATE unretrieved = ReadMouse();
    EXPECT_EQ(unretrieved.lX, 0);
    DrainQueue();
    DIMOUSESTATE moved = ReadMouse();
    EXPECT_EQ(moved.lX, 30);
    EXPECT_EQ(moved.lY, -10);
    DIMOUSESTATE still = ReadMouse();
    EXPECT_EQ(still.lX, 0);
    EXPECT_EQ(still.lY, 0);

    host::InjectMouseButton(1, true);
    DrainQueue();
    DIMOUSESTATE pressed = ReadMouse();
    EXPECT_EQ(pressed.rgbButtons[0], 0);
    EXPECT_EQ(pressed.rgbButtons[1], 0x80);
}

TEST_F(DirectInput, ForegroundLossFailsReadsUntilAcquiredAgain) {
    host::SetForeground(false);
    std::vector<UINT> delivered = DrainQueue();
    ASSERT_FALSE(delivered.empty());
    EXPECT_EQ(delivered.front(), static_cast<UINT>(WM_ACTIVATE));
    EXPECT_EQ(Received().front().wParam, static_cast<WPARAM>(WA_INACTIVE));

    uint8_t keys[256];
    EXPECT_EQ(keyboard_->GetDeviceState(256, keys), DIERR_INPUTLOST);
    EXPECT_EQ(keyboard_->GetDeviceState(256, keys), DIERR_NOTACQUIRED);
    EXPECT_EQ(keyboard_->Acquire(), DIERR_OTHERAPPHASPRIO);
    host::SetForeground(true);
    EXPECT_EQ(keyboard_->Acquire(), DI_OK);
    EXPECT_EQ(keyboard_->GetDeviceState(256, keys), DI_OK);

    // A loss and return between two reads still takes the device away.
    DIMOUSESTATE state;
    host::SetForeground(false);
    host::SetForeground(true);
    EXPECT_EQ(mouse_->GetDeviceState(sizeof(state), &state), DIERR_INPUTLOST);
    EXPECT_EQ(mouse_->Acquire(), DI_OK);
    EXPECT_EQ(mouse_->GetDeviceState(sizeof(state), &state), DI_OK);
}

TEST_F(DirectInput, InvalidCallsReturnTheDocumentedErrors) {
    IDirectInput8W* other = nullptr;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    EXPECT_EQ(DirectInput8Create(instance, 0x0700, IID_IDirectInput8W, reinterpret_cast<void**>(&other), nullptr),
              DIERR_OLDDIRECTINPUTVERSION);
    EXPECT_EQ(DirectInput8Create(instance, 0x0800, IID_IDirectInputDevice8W, reinterpret_cast<void**>(&other),
                                 nullptr),
              DIERR_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(DirectInput8Create(instance, 0x0800, IID_IDirectInput8W, nullptr, nullptr), E_POINTER);

    IDirectInputDevice8W* device = reinterpret_cast<IDirectInputDevice8W*>(1);
    EXPECT_EQ(input_->CreateDevice(IID_IUnknown, &device, nullptr), DIERR_DEVICENOTREG);
    EXPECT_EQ(device, nullptr);

    ASSERT_EQ(input_->CreateDevice(GUID_SysKeyboard, &device, nullptr), DI_OK);
    uint8_t keys[256];
    EXPECT_EQ(device->Acquire(), DIERR_INVALIDPARAM);  // no data format yet
    EXPECT_EQ(device->SetDataFormat(&c_dfDIMouse), DIERR_INVALIDPARAM);
    EXPECT_EQ(device->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    EXPECT_EQ(device->GetDeviceState(256, keys), DIERR_NOTACQUIRED);
    EXPECT_EQ(device->SetCooperativeLevel(window_, DISCL_FOREGROUND | DISCL_BACKGROUND), DIERR_INVALIDPARAM);
    EXPECT_EQ(device->SetCooperativeLevel(reinterpret_cast<HWND>(0x12345), DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
              E_HANDLE);
    EXPECT_EQ(device->Acquire(), DI_OK);
    EXPECT_EQ(device->Acquire(), DI_NOEFFECT);
    EXPECT_EQ(device->GetDeviceState(255, keys), DIERR_INVALIDPARAM);
    EXPECT_EQ(device->SetDataFormat(&c_dfDIKeyboard), DIERR_ACQUIRED);
    EXPECT_EQ(device->Unacquire(), DI_OK);
    EXPECT_EQ(device->Unacquire(), DI_NOEFFECT);
    EXPECT_EQ(device->Release(), 0u);
}

}  // namespace

#include "framework/input_devices.h"

#include <cstring>

#include "framework/app_shell.h"

IDirectInput8W* DirectInput = nullptr;
IDirectInputDevice8W* Keyboard = nullptr;
IDirectInputDevice8W* Mouse = nullptr;

BYTE KeyboardState[256] = {};
DIMOUSESTATE MouseState = {};

int KeyTable[256] = {};
int MouseButtons[2] = {};

namespace {

// Creates one device into *device; the pointer stays null unless creation succeeded, so
// later reads can tell a missing device from a present one.
bool CreateInputDevice(REFGUID guid, IDirectInputDevice8W** device) {
    IDirectInputDevice8W* created = nullptr;
    if (FAILED(DirectInput->CreateDevice(guid, &created, nullptr)) || created == nullptr) return false;
    *device = created;
    return true;
}

// A failed read (the window lost the foreground) re-acquires; the old snapshot stays.
void ReadDevice(IDirectInputDevice8W* device, DWORD size, void* snapshot) {
    if (device == nullptr) return;
    if (FAILED(device->GetDeviceState(size, snapshot))) device->Acquire();
}

void ReleaseDevice(IDirectInputDevice8W** device) {
    if (*device == nullptr) return;
    (*device)->Unacquire();
    (*device)->Release();
    *device = nullptr;
}

}  // namespace

bool InitInput(HINSTANCE instance) {
    IDirectInput8W* created = nullptr;
    if (FAILED(DirectInput8Create(instance, 0x0800, IID_IDirectInput8W, reinterpret_cast<void**>(&created),
                                  nullptr)) ||
        created == nullptr) {
        return false;
    }
    DirectInput = created;
    if (!CreateInputDevice(GUID_SysKeyboard, &Keyboard)) return false;
    if (!CreateInputDevice(GUID_SysMouse, &Mouse)) return false;
    if (FAILED(Keyboard->SetDataFormat(&c_dfDIKeyboard))) return false;
    if (FAILED(Mouse->SetDataFormat(&c_dfDIMouse))) return false;
    const DWORD level = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND;
    if (FAILED(Keyboard->SetCooperativeLevel(MainWindow, level))) return false;
    if (FAILED(Mouse->SetCooperativeLevel(MainWindow, level))) return false;
    // Both are acquired even when the window is not in the foreground yet; the answer is the
    // mouse's. A device that fails here is acquired again after its first failed read.
    Keyboard->Acquire();
    return SUCCEEDED(Mouse->Acquire());
}

void ReadInput() {
    ReadDevice(Keyboard, sizeof(KeyboardState), KeyboardState);
    ReadDevice(Mouse, sizeof(MouseState), &MouseState);
}

void ReleaseInput() {
    if (DirectInput == nullptr) return;
    ReleaseDevice(&Keyboard);
    ReleaseDevice(&Mouse);
    DirectInput->Release();
    DirectInput = nullptr;
}

int IsKeyDown(int code) { return KeyboardState[static_cast<unsigned>(code) & 0xFF] & 0x80; }

int IsMouseButtonDown(int index) {
    if (index < 0 || index >= 4) return 0;
    return MouseState.rgbButtons[index] & 0x80;
}

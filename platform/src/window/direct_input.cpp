// DirectInput 8: the system keyboard and mouse, read as snapshots of the window system's
// input state.
#include "window/input_state.h"
#include "window/window_state.h"

#include "core/com.h"

#include <dinput.h>

#include <cstring>

// The two standard formats. Only their state sizes matter here: the devices always report the
// full keyboard table and the DIMOUSESTATE record.
const DIDATAFORMAT c_dfDIKeyboard = {sizeof(DIDATAFORMAT), 16, DIDF_RELAXIS, 256, 256, nullptr};
const DIDATAFORMAT c_dfDIMouse = {sizeof(DIDATAFORMAT), 16, DIDF_RELAXIS, sizeof(DIMOUSESTATE), 7, nullptr};

namespace platform::window {
namespace {

class InputDevice : public RefCounted<IDirectInputDevice8W> {
public:
    explicit InputDevice(bool keyboard) : keyboard_(keyboard) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object != nullptr && riid == IID_IDirectInputDevice8W) {
            AddRef();
            *object = static_cast<IDirectInputDevice8W*>(this);
            return S_OK;
        }
        return RefCounted::QueryInterface(riid, object);
    }

    HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT format) override {
        if (format == nullptr || format->dwSize != sizeof(DIDATAFORMAT)) return DIERR_INVALIDPARAM;
        if (acquired_) return DIERR_ACQUIRED;
        if (format->dwDataSize != StateSize()) return DIERR_INVALIDPARAM;
        formatSet_ = true;
        return DI_OK;
    }

    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override {
        bool exclusive = flags & DISCL_EXCLUSIVE, nonExclusive = flags & DISCL_NONEXCLUSIVE;
        bool foreground = flags & DISCL_FOREGROUND, background = flags & DISCL_BACKGROUND;
        if (exclusive == nonExclusive || foreground == background) return DIERR_INVALIDPARAM;
        if (window != nullptr ? WindowOf(window) == nullptr : (foreground || exclusive)) return E_HANDLE;
        // Windows never lets a program take the keyboard from everyone in the background.
        if (keyboard_ && exclusive && background) return DIERR_UNSUPPORTED;
        foregroundOnly_ = foreground;
        return DI_OK;
    }

    HRESULT STDMETHODCALLTYPE Acquire() override {
        if (!formatSet_) return DIERR_INVALIDPARAM;
        if (acquired_ && !IsLost()) return DI_NOEFFECT;
        const InputState& input = Input();
        if (foregroundOnly_ && !input.foreground) return DIERR_OTHERAPPHASPRIO;
        acquired_ = true;
        foregroundEpoch_ = input.foregroundEpoch;
        resetEpoch_ = input.resetEpoch;
        // Motion made while the device was not acquired is not reported.
        seenX_ = input.totalX, seenY_ = input.totalY, seenZ_ = input.totalZ;
        return DI_OK;
    }

    HRESULT STDMETHODCALLTYPE Unacquire() override {
        if (!acquired_) return DI_NOEFFECT;
        acquired_ = false;
        return DI_OK;
    }

    HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD size, LPVOID data) override {
        if (data == nullptr) return E_POINTER;
        if (formatSet_ && size != StateSize()) return DIERR_INVALIDPARAM;
        if (!acquired_) return DIERR_NOTACQUIRED;
        if (IsLost()) {
            // The window lost the foreground since the device was acquired: it is taken away.
            acquired_ = false;
            return DIERR_INPUTLOST;
        }
        if (keyboard_) {
            std::memcpy(data, Input().keys, 256);
        } else {
            ReadMouse(static_cast<DIMOUSESTATE*>(data));
        }
        return DI_OK;
    }

private:
    DWORD StateSize() const { return keyboard_ ? 256 : sizeof(DIMOUSESTATE); }

    bool IsLost() const {
        const InputState& input = Input();
        if (resetEpoch_ != input.resetEpoch) return true;
        return foregroundOnly_ && (foregroundEpoch_ != input.foregroundEpoch || !input.foreground);
    }

    void ReadMouse(DIMOUSESTATE* state) {
        const InputState& input = Input();
        state->lX = static_cast<LONG>(input.totalX - seenX_);
        state->lY = static_cast<LONG>(input.totalY - seenY_);
        state->lZ = static_cast<LONG>(input.totalZ - seenZ_);
        seenX_ = input.totalX, seenY_ = input.totalY, seenZ_ = input.totalZ;
        std::memcpy(state->rgbButtons, input.buttons, sizeof(state->rgbButtons));
    }

    bool keyboard_;
    bool formatSet_ = false;
    // A device without a cooperative level behaves as non-exclusive background.
    bool foregroundOnly_ = false;
    bool acquired_ = false;
    uint32_t foregroundEpoch_ = 0;
    uint32_t resetEpoch_ = 0;
    int64_t seenX_ = 0, seenY_ = 0, seenZ_ = 0;
};

class DirectInput : public RefCounted<IDirectInput8W> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object != nullptr && riid == IID_IDirectInput8W) {
            AddRef();
            *object = static_cast<IDirectInput8W*>(this);
            return S_OK;
        }
        return RefCounted::QueryInterface(riid, object);
    }

    HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID guid, IDirectInputDevice8W** device, LPUNKNOWN outer) override {
        if (device == nullptr) return E_POINTER;
        *device = nullptr;
        if (outer != nullptr) return DIERR_NOAGGREGATION;
        if (guid == GUID_SysKeyboard) {
            *device = new InputDevice(true);
        } else if (guid == GUID_SysMouse) {
            *device = new InputDevice(false);
        } else {
            return DIERR_DEVICENOTREG;
        }
        return DI_OK;
    }
};

}  // namespace
}  // namespace platform::window

HRESULT WINAPI DirectInput8Create(HINSTANCE instance, DWORD version, REFIID riid, LPVOID* out, LPUNKNOWN outer) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (instance == nullptr) return DIERR_INVALIDPARAM;
    if (version == 0) return DIERR_NOTINITIALIZED;
    if (version < 0x0800) return DIERR_OLDDIRECTINPUTVERSION;
    if (version > 0x0800) return DIERR_BETADIRECTINPUTVERSION;
    if (riid != IID_IDirectInput8W && riid != IID_IUnknown) return DIERR_NOINTERFACE;
    if (outer != nullptr) return DIERR_NOAGGREGATION;
    auto* directInput = new platform::window::DirectInput();
    *out = riid == IID_IUnknown ? static_cast<void*>(static_cast<IUnknown*>(directInput))
                                : static_cast<void*>(static_cast<IDirectInput8W*>(directInput));
    return DI_OK;
}

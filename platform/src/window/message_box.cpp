// Message boxes. A real box runs on a helper thread (SDL shows it from a forked process) while
// the calling thread keeps pumping and dispatching the program's messages, as the modal loop
// of a Windows message box does. Headless, or with a listener, a box is recorded and answered
// at once.
#include "window/window_internal.h"
#include "window/window_state.h"

#include "core/text.h"

#include <host.h>

#include <SDL.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace {

std::function<void(const std::wstring& caption, const std::wstring& text)> messageBoxListener;

struct BoxButtons {
    SDL_MessageBoxButtonData buttons[2];
    int count = 0;
};

BoxButtons ButtonsOf(UINT type) {
    BoxButtons result;
    if ((type & 0xF) == MB_OKCANCEL) {
        result.buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDOK, "OK"};
        result.buttons[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"};
        result.count = 2;
    } else {
        // Any other button set is shown as a single OK button.
        result.buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
                             "OK"};
        result.count = 1;
    }
    return result;
}

Uint32 IconFlagsOf(UINT type) {
    switch (type & 0xF0) {
        case MB_ICONERROR: return SDL_MESSAGEBOX_ERROR;
        case MB_ICONWARNING: return SDL_MESSAGEBOX_WARNING;
        case MB_ICONINFORMATION: return SDL_MESSAGEBOX_INFORMATION;
        default: return 0;
    }
}

int ShowRealBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    std::string utf8Text = platform::Utf8FromWide(text);
    std::string utf8Caption = platform::Utf8FromWide(caption);
    BoxButtons buttons = ButtonsOf(type);
    SDL_MessageBoxData data{};
    data.flags = IconFlagsOf(type);
    data.window = platform::SdlWindowOf(owner);
    data.title = utf8Caption.c_str();
    data.message = utf8Text.c_str();
    data.numbuttons = buttons.count;
    data.buttons = buttons.buttons;

    std::atomic<bool> answered{false};
    int shown = -1;
    int pressed = -1;
    std::thread box([&] {
        shown = SDL_ShowMessageBox(&data, &pressed);
        answered = true;
    });
    while (!answered) {
        platform::window::DispatchPendingMessages();
        SDL_Delay(10);
    }
    box.join();
    if (shown != 0) return 0;
    // Closing the box without a button answers as Escape would.
    if (pressed < 0) return buttons.count == 2 ? IDCANCEL : IDOK;
    return pressed;
}

int ShowBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    if (messageBoxListener) {
        auto listener = messageBoxListener;
        listener(caption, text);
        return IDOK;
    }
    if (host::IsHeadless()) return IDOK;
    return ShowRealBox(owner, text, caption, type);
}

}  // namespace

namespace host {

void SetMessageBoxListener(std::function<void(const std::wstring& caption, const std::wstring& text)> listener) {
    messageBoxListener = std::move(listener);
}

}  // namespace host

namespace platform::window {

void ResetMessageBoxes() { messageBoxListener = nullptr; }

}  // namespace platform::window

// Without a caption Windows titles the box "Error".
int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    return ShowBox(owner, text == nullptr ? L"" : text, caption == nullptr ? L"Error" : caption, type);
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    // The narrow code page of this platform is UTF-8.
    std::wstring wideText = platform::WideFromUtf8(text == nullptr ? "" : text);
    std::wstring wideCaption = caption == nullptr ? L"Error" : platform::WideFromUtf8(caption);
    return ShowBox(owner, wideText, wideCaption, type);
}

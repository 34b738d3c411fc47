// Message boxes. A real box is the window system's (window/backend.h), shown while the
// calling thread keeps pumping and dispatching the program's messages, as the modal loop of a
// Windows message box does. Headless, or with a listener, a box is recorded and answered at
// once.
#include "window/backend.h"
#include "window/window_internal.h"
#include "window/window_state.h"

#include "core/text.h"

#include <host.h>

#include <functional>
#include <string>

namespace {

std::function<void(const std::wstring& caption, const std::wstring& text)> messageBoxListener;

int ShowBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    if (messageBoxListener) {
        auto listener = messageBoxListener;
        listener(caption, text);
        return IDOK;
    }
    if (host::IsHeadless()) return IDOK;
    return platform::window::ShowNativeMessageBox(platform::NativeWindowOf(owner), platform::Utf8FromWide(text),
                                                  platform::Utf8FromWide(caption), type);
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

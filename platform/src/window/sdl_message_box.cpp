// Message boxes on SDL: the box runs on a helper thread (SDL shows it from a forked process)
// while the calling thread keeps dispatching the program's messages.
#include "window/backend.h"
#include "window/window_state.h"

#include <SDL.h>

#include <atomic>
#include <string>
#include <thread>

namespace platform::window {
namespace {

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

}  // namespace

int ShowNativeMessageBox(NativeWindow* owner, const std::string& utf8Text, const std::string& utf8Caption,
                         UINT type) {
    BoxButtons buttons = ButtonsOf(type);
    SDL_MessageBoxData data{};
    data.flags = IconFlagsOf(type);
    data.window = reinterpret_cast<SDL_Window*>(owner);
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
        DispatchPendingMessages();
        SDL_Delay(10);
    }
    box.join();
    if (shown != 0) return 0;
    // Closing the box without a button answers as Escape would.
    if (pressed < 0) return buttons.count == 2 ? IDCANCEL : IDOK;
    return pressed;
}

}  // namespace platform::window

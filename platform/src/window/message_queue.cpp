// The thread's message queue: posted and input messages in arrival order, WM_QUIT once the
// queue has run dry, and the window procedures that messages are dispatched to.
#include "window/backend.h"
#include "window/input_state.h"
#include "window/window_state.h"

namespace platform::window {
namespace {

// How long GetMessageW waits for the window system before it looks at its queue again.
constexpr int kWaitSliceMs = 10;

bool PassesFilter(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    // (HWND)-1 asks for the thread's own messages, those without a window.
    if (window == reinterpret_cast<HWND>(-1)) {
        if (msg.hwnd != nullptr) return false;
    } else if (window != nullptr && msg.hwnd != window) {
        return false;
    }
    if (filterMin == 0 && filterMax == 0) return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

// Takes the first queued message that passes the filter, or WM_QUIT when a quit was requested
// and nothing else waits (WM_QUIT passes every filter, as on Windows).
bool Retrieve(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    WindowSystem& system = System();
    for (auto it = system.queue.begin(); it != system.queue.end(); ++it) {
        if (!PassesFilter(it->msg, window, filterMin, filterMax)) continue;
        *msg = it->msg;
        if (remove) {
            InputEffect effect = it->effect;
            system.queue.erase(it);
            ApplyInputEffect(effect);
        }
        return true;
    }
    if (!system.quitPending) return false;
    *msg = MSG{};
    msg->message = WM_QUIT;
    msg->wParam = static_cast<WPARAM>(system.quitCode);
    msg->time = GetTickCount();
    msg->pt = system.cursor;
    if (remove) system.quitPending = false;
    return true;
}

// A character key's WM_CHAR, as the US layout produces it; 0 for keys without a character.
wchar_t CharacterOfKey(WPARAM virtualKey) {
    bool shift = System().keyDown[VK_SHIFT] || System().keyDown[VK_LSHIFT] || System().keyDown[VK_RSHIFT];
    if (virtualKey >= 'A' && virtualKey <= 'Z') return static_cast<wchar_t>(shift ? virtualKey : virtualKey + 32);
    if (virtualKey >= '0' && virtualKey <= '9' && !shift) return static_cast<wchar_t>(virtualKey);
    if (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD9) return static_cast<wchar_t>('0' + virtualKey - VK_NUMPAD0);
    switch (virtualKey) {
        case VK_SPACE: return L' ';
        case VK_RETURN: return L'\r';
        case VK_BACK: return L'\b';
        case VK_TAB: return L'\t';
        case VK_ESCAPE: return 0x1B;
        default: return 0;
    }
}

}  // namespace

void DispatchPendingMessages() {
    PumpNativeEvents();
    MSG msg;
    // WM_QUIT stays pending for the caller's own loop.
    while (!System().queue.empty() && Retrieve(&msg, nullptr, 0, 0, true)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace platform::window

using namespace platform::window;

BOOL WINAPI PeekMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (msg == nullptr) return FALSE;
    bool remove = (removeFlags & PM_REMOVE) != 0;
    PumpNativeEvents();
    if (Retrieve(msg, window, filterMin, filterMax, remove)) return TRUE;
    WindowSystem& system = System();
    if (!system.idleHook) return FALSE;
    // The hook may inject input; what it queued is this call's answer.
    std::function<void()> hook = system.idleHook;
    hook();
    PumpNativeEvents();
    return Retrieve(msg, window, filterMin, filterMax, remove) ? TRUE : FALSE;
}

BOOL WINAPI GetMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    if (msg == nullptr) return -1;
    if (window != nullptr && window != reinterpret_cast<HWND>(-1) && WindowOf(window) == nullptr) return -1;
    while (!PeekMessageW(msg, window, filterMin, filterMax, PM_REMOVE)) {
        WaitForNativeEvents(kWaitSliceMs);
    }
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (msg == nullptr) return FALSE;
    switch (msg->message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (wchar_t character = CharacterOfKey(msg->wParam); character != 0 && msg->message == WM_KEYDOWN) {
                // The character comes next, ahead of whatever else is queued.
                QueuedMessage queued;
                queued.msg = *msg;
                queued.msg.message = WM_CHAR;
                queued.msg.wParam = static_cast<WPARAM>(character);
                System().queue.push_front(queued);
            }
            return TRUE;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            return TRUE;
        default:
            return FALSE;
    }
}

LRESULT WINAPI DispatchMessageW(const MSG* msg) {
    if (msg == nullptr) return 0;
    Window* window = WindowOf(msg->hwnd);
    if (window == nullptr) return 0;
    WNDPROC procedure = window->procedure;
    return procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_PAINT:
            if (Window* target = WindowOf(window)) target->painted = true;
            return 0;
        default:
            return 0;
    }
}

LRESULT WINAPI SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* target = WindowOf(window);
    if (target == nullptr) return 0;
    WNDPROC procedure = target->procedure;
    return procedure(window, message, wParam, lParam);
}

BOOL WINAPI PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window != nullptr && WindowOf(window) == nullptr) return FALSE;
    Enqueue(window, message, wParam, lParam);
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
    System().quitPending = true;
    System().quitCode = exitCode;
}

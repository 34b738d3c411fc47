// The state of the window system shared by the files of this folder: registered classes, live
// windows, the message queue and the cursor. Everything runs on the program's one thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform::window {

struct NativeWindow;

struct WindowClass {
    std::wstring name;
    WNDPROC procedure = nullptr;
    HINSTANCE instance = nullptr;
};

struct Window {
    HWND handle = nullptr;
    std::wstring className;
    WNDPROC procedure = nullptr;
    NativeWindow* native = nullptr;
    DWORD style = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    // Where the client area's top-left corner is on the virtual screen (headless mode, or
    // until the real window reports its position).
    POINT clientOrigin{};
    bool visible = false;
    bool painted = false;
    bool minimized = false;
    bool destroying = false;
};

// What retrieving a message does to the DirectInput state, so that the state always matches
// what the window procedure has been told.
struct InputEffect {
    enum class Kind { None, Key, Motion, Button, Wheel };
    Kind kind = Kind::None;
    int scanCode = 0;  // DIK_ code of a key
    bool down = false;
    int dx = 0, dy = 0;  // relative motion
    int button = 0;      // 0 left, 1 right, 2 middle
    int wheel = 0;
};

struct QueuedMessage {
    MSG msg{};
    InputEffect effect;
};

struct WindowSystem {
    std::vector<WindowClass> classes;
    std::map<HWND, std::unique_ptr<Window>> windows;
    std::vector<HWND> creationOrder;
    uintptr_t nextHandle = 0x1000;
    std::deque<QueuedMessage> queue;
    bool quitPending = false;
    int quitCode = 0;
    std::function<void()> idleHook;
    // The cursor in screen coordinates as the window system last saw it.
    POINT cursor{};
    // True while the cursor was last placed by injection rather than by the real pointer.
    bool cursorVirtual = true;
    int cursorDisplayCount = 0;
    // Where SetCursorPos moved the real pointer: the motion that reports it is no user motion.
    bool warpPending = false;
    POINT warpTarget{};
    // The window system's own key state by virtual-key code, for the repeat bit of WM_KEYDOWN.
    bool keyDown[256] = {};
    bool buttonDown[3] = {};
};

WindowSystem& System();

// Null for a handle that is not a live window.
Window* WindowOf(HWND handle);
// The first live window created: the one injected input and SDL input without a window go to.
Window* MainWindow();

// Adds a message to the back of the queue, stamped with the time and the cursor position.
void Enqueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const InputEffect& effect = {});

// Input as the window system delivers it, shared by real and injected events. Each queues the
// window message and the change it makes to the DirectInput state once retrieved.
// virtualKey may be a left/right code (VK_LSHIFT); the message carries the generic one.
void PostKeyMessage(HWND window, int virtualKey, int scanCode, bool down);
// Moves the cursor to a client position of the window; dx, dy is the device's motion.
void PostMouseMove(HWND window, int clientX, int clientY, int dx, int dy);
void PostMouseButton(HWND window, int button, bool down);
void PostMouseWheel(HWND window, int notches);
// The window gains or loses the foreground: activation and focus messages, and foreground
// DirectInput devices lose their acquisition on a loss. Nothing happens without a change.
void PostFocusChange(HWND window, bool gained);

// Removes the queued messages of a window that no longer exists.
void DropMessagesOf(HWND window);

// Client coordinates packed as mouse messages carry them (signed 16-bit x and y).
LPARAM PackPoint(int x, int y);

// Message-box helpers share the pump: dispatches every queued message except WM_QUIT.
void DispatchPendingMessages();

// Forgets windows, classes, the queue and the hooks of the window system.
void ResetWindowSystem();
void ResetMessageBoxes();

}  // namespace platform::window

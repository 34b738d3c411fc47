// Window classes and windows: each window is a window of the backend whose size is the client
// area.
#include "window/backend.h"
#include "window/input_state.h"
#include "window/window_internal.h"
#include "window/window_state.h"

#include "core/text.h"

#include <host.h>

#include <cwctype>

namespace platform::window {
namespace {

// Non-client metrics of Windows 10 at 96 dpi: a sizing frame is 8 pixels wide (4 of frame and
// 4 of padding), a fixed dialog frame 3, a thin border 1, and the caption bar 23 pixels high.
constexpr int kSizingFrame = 8;
constexpr int kFixedFrame = 3;
constexpr int kThinBorder = 1;
constexpr int kCaptionHeight = 23;

struct Frame {
    int side = 0;
    int top = 0;
};

// Overlapped windows always get a caption and a border, whatever their style says.
DWORD EffectiveStyle(DWORD style) { return (style & (WS_POPUP | WS_CHILD)) ? style : style | WS_CAPTION; }

Frame FrameOf(DWORD style) {
    Frame frame;
    if (style & WS_THICKFRAME) {
        frame.side = kSizingFrame;
    } else if (style & WS_DLGFRAME) {
        frame.side = kFixedFrame;
    } else if (style & WS_BORDER) {
        frame.side = kThinBorder;
    }
    frame.top = frame.side + ((style & WS_CAPTION) == WS_CAPTION ? kCaptionHeight : 0);
    return frame;
}

bool SameClassName(const std::wstring& a, LPCWSTR b) {
    size_t i = 0;
    for (; i < a.size(); ++i) {
        if (b[i] == 0 || std::towlower(a[i]) != std::towlower(b[i])) return false;
    }
    return b[i] == 0;
}

bool IsAtom(LPCWSTR name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

ATOM AtomOfIndex(size_t index) { return static_cast<ATOM>(0xC000 + index); }

const WindowClass* FindClass(LPCWSTR name) {
    if (name == nullptr) return nullptr;
    auto& classes = System().classes;
    for (size_t i = 0; i < classes.size(); ++i) {
        bool match = IsAtom(name) ? reinterpret_cast<uintptr_t>(name) == AtomOfIndex(i)
                                  : SameClassName(classes[i].name, name);
        if (match && classes[i].procedure != nullptr) return &classes[i];
    }
    return nullptr;
}

// The messages Windows sends while it creates a window, in its order. False when the window
// procedure refused the creation or destroyed the window.
bool SendCreationMessages(HWND handle, CREATESTRUCTW* create) {
    if (SendMessageW(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(create)) == -1) {
        DestroyWindow(handle);
        return false;
    }
    Window* window = WindowOf(handle);
    if (window != nullptr && window->visible) {
        SendMessageW(handle, WM_SHOWWINDOW, TRUE, 0);
        SetForegroundState(true);
        SendMessageW(handle, WM_ACTIVATE, WA_ACTIVE, 0);
        SendMessageW(handle, WM_SETFOCUS, 0, 0);
    }
    if ((window = WindowOf(handle)) == nullptr) return false;
    SendMessageW(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(window->clientWidth, window->clientHeight));
    if ((window = WindowOf(handle)) == nullptr) return false;
    SendMessageW(handle, WM_MOVE, 0, MAKELPARAM(window->clientOrigin.x, window->clientOrigin.y));
    return WindowOf(handle) != nullptr;
}

}  // namespace
}  // namespace platform::window

using namespace platform::window;

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* windowClass) {
    if (windowClass == nullptr) return 0;
    // Only the structure's own size: 64-bit Windows refuses the 48 bytes of a 32-bit one.
    if (windowClass->cbSize != sizeof(WNDCLASSEXW)) return 0;
    if (windowClass->lpfnWndProc == nullptr || windowClass->lpszClassName == nullptr) return 0;
    if (IsAtom(windowClass->lpszClassName) || windowClass->lpszClassName[0] == 0) return 0;
    if (FindClass(windowClass->lpszClassName) != nullptr) return 0;
    auto& classes = System().classes;
    classes.push_back({windowClass->lpszClassName, windowClass->lpfnWndProc, windowClass->hInstance});
    return AtomOfIndex(classes.size() - 1);
}

BOOL WINAPI UnregisterClassW(LPCWSTR className, HINSTANCE instance) {
    WindowClass* windowClass = const_cast<WindowClass*>(FindClass(className));
    if (windowClass == nullptr) return FALSE;
    for (auto& [handle, window] : System().windows) {
        if (window->className == windowClass->name) return FALSE;
    }
    // The slot stays so that the atoms of the other classes keep their meaning.
    *windowClass = WindowClass{};
    return TRUE;
}

HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    const WindowClass* windowClass = FindClass(className);
    if (windowClass == nullptr || !StartWindowSystem()) return nullptr;
    auto window = std::make_unique<Window>();
    window->className = windowClass->name;
    window->procedure = windowClass->procedure;
    window->style = EffectiveStyle(style);
    window->visible = (style & WS_VISIBLE) != 0;
    // Windows places a default-positioned window itself; the top-left corner does here.
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) width = 800, height = 600;
    Frame frame = FrameOf(window->style);
    window->clientWidth = std::max(0, width - 2 * frame.side);
    window->clientHeight = std::max(0, height - frame.top - frame.side);
    window->clientOrigin = {x + frame.side, y + frame.top};
    window->native = CreateNativeWindow(windowName == nullptr ? std::string() : platform::Utf8FromWide(windowName), *window);
    if (window->native == nullptr) return nullptr;

    HWND handle = reinterpret_cast<HWND>(System().nextHandle);
    System().nextHandle += 4;
    window->handle = handle;
    System().windows[handle] = std::move(window);
    System().creationOrder.push_back(handle);

    CREATESTRUCTW create{param, instance, menu, parent, height, width, y, x,
                         static_cast<LONG>(style), windowName, className, exStyle};
    return SendCreationMessages(handle, &create) ? handle : nullptr;
}

BOOL WINAPI DestroyWindow(HWND handle) {
    Window* window = WindowOf(handle);
    if (window == nullptr || window->destroying) return FALSE;
    window->destroying = true;
    SendMessageW(handle, WM_DESTROY, 0, 0);
    if ((window = WindowOf(handle)) == nullptr) return TRUE;
    DestroyNativeWindow(window->native);
    System().windows.erase(handle);
    DropMessagesOf(handle);
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND handle, int showCommand) {
    Window* window = WindowOf(handle);
    if (window == nullptr) return FALSE;
    bool wasVisible = window->visible;
    bool show = showCommand != SW_HIDE;
    if (show == wasVisible) return wasVisible;
    window->visible = show;
    ShowNativeWindow(window->native, show);
    SendMessageW(handle, WM_SHOWWINDOW, show, 0);
    return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND handle) {
    Window* window = WindowOf(handle);
    if (window == nullptr) return FALSE;
    // A new window's whole client area needs painting once.
    if (window->visible && !window->painted) {
        window->painted = true;
        SendMessageW(handle, WM_PAINT, 0, 0);
    }
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND handle, LPRECT rect) {
    Window* window = WindowOf(handle);
    if (window == nullptr || rect == nullptr) return FALSE;
    *rect = {0, 0, window->clientWidth, window->clientHeight};
    return TRUE;
}

BOOL WINAPI SetWindowTextW(HWND handle, LPCWSTR text) {
    Window* window = WindowOf(handle);
    if (window == nullptr) return FALSE;
    SetNativeWindowTitle(window->native, text == nullptr ? std::string() : platform::Utf8FromWide(text));
    return TRUE;
}

namespace {

// Shared objects of the system: never freed, so one static table gives each a stable handle.
char systemObjects[3][64];

void* SystemObject(int table, uintptr_t index) { return &systemObjects[table][index % 64]; }

}  // namespace

HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name) {
    // Only the predefined icons (integer resource identifiers) exist here.
    if (!IsAtom(name)) return nullptr;
    return static_cast<HICON>(SystemObject(0, reinterpret_cast<uintptr_t>(name)));
}

HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    if (!IsAtom(name)) return nullptr;
    return static_cast<HCURSOR>(SystemObject(1, reinterpret_cast<uintptr_t>(name)));
}

HGDIOBJ WINAPI GetStockObject(int object) {
    // Stock objects are WHITE_BRUSH (0) to DC_PEN (19); 9 is unused.
    if (object < 0 || object > 19 || object == 9) return nullptr;
    return SystemObject(2, static_cast<uintptr_t>(object));
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName) {
    static char processModule;
    return moduleName == nullptr ? reinterpret_cast<HMODULE>(&processModule) : nullptr;
}

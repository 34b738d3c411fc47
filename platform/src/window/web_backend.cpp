// The window system in a web page: the one window is the page's canvas (#canvas), its GL
// context WebGL2, message boxes a modal dialog of the page (web/shell.js). The program keeps
// its own blocking message loop: built with Asyncify, each wait and each Present yields to
// the browser, which then runs its events (web_events.cpp) and shows the frame.
#include "core/report.h"
#include "core/text.h"
#include "d3dx/text_listener.h"
#include "window/backend.h"
#include "window/window_state.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <string>

namespace platform::window {

struct NativeWindow {};  // the canvas

namespace {
// A WebGL2 context on the canvas; it may outlive the window, as a GL context may.
struct WebGlContext {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = 0;
};
}  // namespace

// Registered in web_events.cpp: the page's input becomes queued messages.
void ListenToThePage();

namespace {

constexpr char kCanvas[] = "#canvas";
NativeWindow* pageWindow = nullptr;  // the canvas belongs to one window at a time

// The page's dialog (web/shell.js): shows the box and answers through demoMessageBoxAnswer,
// 0 until a button was pressed.
EM_JS(void, OpenPageMessageBox, (const char* caption, const char* text, int buttons), {
    Module.demoMessageBoxAnswer = 0;
    Module.showMessageBox(UTF8ToString(caption), UTF8ToString(text), buttons,
                          function(answer) { Module.demoMessageBoxAnswer = answer; });
});

EM_JS(int, PageMessageBoxAnswer, (), { return Module.demoMessageBoxAnswer | 0; });

// What the page's checks read (web/shell.js): the texts drawn since the last Present, by
// position, and the time of every Present.
EM_JS(void, RecordPageText, (int x, int y, const char* text), {
    Module.demoDrawing[x + "," + y] = UTF8ToString(text);
});

EM_JS(void, RecordPagePresent, (), {
    Module.demoFrames += 1;
    Module.demoTexts = Module.demoDrawing;
    Module.demoDrawing = {};
    Module.demoPresentTimes.push(performance.now());
    if (Module.demoPresentTimes.length > 4096) Module.demoPresentTimes.shift();
});

// Suspends the program (Asyncify) until the browser's next animation frame.
EM_JS(void, WaitForAnimationFrame, (), {
    Asyncify.handleSleep(function(wakeUp) { requestAnimationFrame(function() { wakeUp(); }); });
});

EM_JS(void, SetPageTitle, (const char* title), { document.title = UTF8ToString(title); });

// How long a wait for a pressed button lasts before the program's messages are dispatched.
constexpr int kDialogPollMs = 10;

}  // namespace

bool NativeDisplayAvailable() { return true; }

bool StartWindowSystem() {
    static const bool started = [] {
        ListenToThePage();
        d3dx::SetWindowSystemTextObserver([](int x, int y, const std::wstring& text) {
            RecordPageText(x, y, Utf8FromWide(text).c_str());
        });
        return true;
    }();
    return started;
}

NativeWindow* CreateNativeWindow(const std::string& utf8Title, const Window& window) {
    if (pageWindow != nullptr) {
        ReportFailure("no window: the page has one canvas, and a window holds it already");
        return nullptr;
    }
    if (emscripten_set_canvas_element_size(kCanvas, window.clientWidth, window.clientHeight) != EMSCRIPTEN_RESULT_SUCCESS) {
        ReportFailure("no window: the page has no canvas with the id \"canvas\"");
        return nullptr;
    }
    SetPageTitle(utf8Title.c_str());
    pageWindow = new NativeWindow;
    return pageWindow;
}

void DestroyNativeWindow(NativeWindow* native) {
    if (native == nullptr) return;
    if (native == pageWindow) pageWindow = nullptr;
    delete native;
}

// A page shows its canvas always; a hidden window still draws into it.
void ShowNativeWindow(NativeWindow*, bool) {}

void SetNativeWindowTitle(NativeWindow*, const std::string& utf8Title) { SetPageTitle(utf8Title.c_str()); }

// Input arrives by callbacks while the program yields: nothing is left to fetch here.
void PumpNativeEvents() {}

void WaitForNativeEvents(int milliseconds) { emscripten_sleep(static_cast<unsigned>(milliseconds)); }

// A page cannot read or move the pointer outside its events: the layer keeps its own record.
bool HasRealPointer() { return false; }
POINT RealPointerPosition() { return {0, 0}; }
void MoveRealPointer(int, int) {}
void ShowRealPointer(bool) {}

int ShowNativeMessageBox(NativeWindow*, const std::string& utf8Text, const std::string& utf8Caption, UINT type) {
    const bool okCancel = (type & 0xF) == MB_OKCANCEL;
    OpenPageMessageBox(utf8Caption.c_str(), utf8Text.c_str(), okCancel ? MB_OKCANCEL : MB_OK);
    int answer = 0;
    while ((answer = PageMessageBoxAnswer()) == 0) {
        DispatchPendingMessages();
        emscripten_sleep(kDialogPollMs);
    }
    return answer == IDCANCEL && okCancel ? IDCANCEL : IDOK;
}

// A main that waited for the browser (Asyncify) returns into no caller that would end the
// program: it ends here, and the page hears of it (Module.onExit).
void EndProgram(int result) { emscripten_force_exit(result); }

void* CreateGlContext(NativeWindow*) {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_TRUE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_FALSE;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = emscripten_webgl_create_context(kCanvas, &attributes);
    if (handle <= 0) return nullptr;
    emscripten_webgl_make_context_current(handle);
    return new WebGlContext{handle};
}

void MakeGlContextCurrent(NativeWindow*, void* context) {
    emscripten_webgl_make_context_current(static_cast<WebGlContext*>(context)->handle);
}

// The browser shows the canvas when the program yields. Present yields until the next
// animation frame, the page's display rate: a loop that yielded for less would hand the
// browser frames faster than it can show them, and starve everything else it does.
void SwapGlWindow(NativeWindow*) {
    RecordPagePresent();
    WaitForAnimationFrame();
}

void DeleteGlContext(void* context) {
    auto* webgl = static_cast<WebGlContext*>(context);
    emscripten_webgl_destroy_context(webgl->handle);
    delete webgl;
}

}  // namespace platform::window

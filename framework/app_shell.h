// The application shell every demo program is built on: one window, the Direct3D device,
// the message loop and the frame clock. A program derives from AppShell, fills in Init,
// Frame and Cleanup, and its entry point constructs it on the stack and calls Run.
#pragma once

#include <windows.h>

#include <d3d9.h>

class AppShell {
public:
    AppShell(HINSTANCE instance, const char* caption, bool fullscreen);

    // Init runs once, after the device and the projection exist and before any input
    // device does. Frame runs whenever the message queue is empty. Cleanup runs once when
    // the loop has ended, before the device is released.
    virtual void Init() = 0;
    virtual void Frame() = 0;
    virtual void Cleanup() = 0;

    // Creates the window, the device and the input devices, runs the loop until Escape or
    // the quit message, then shuts everything down.
    void Run();

    bool fullscreen;
    // Long enough for any caption a program passes; a longer one is cut, never overrun.
    char caption[256];
    HINSTANCE instance;
    IDirect3D9* d3d;
    IDirect3DDevice9* device;
    bool wireframe;

protected:
    ~AppShell() = default;

private:
    bool CreateDevice();
    void RunLoop();
    void AdvanceClock();
    void ToggleWireframe();
    void ShutDown();
};

// The window procedure of the class "ZK3D": keeps the client size and the input tables,
// and refreshes the input snapshots after each message it handles.
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Offered every message before WindowProc handles it; true swallows the message.
typedef bool (*MessageHookFunction)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

extern int ClientWidth;
extern int ClientHeight;
extern HWND MainWindow;
extern bool InputReady;
extern MessageHookFunction MessageHook;
// The frame clock in seconds: CurrentTime is timeGetTime at the last frame.
extern double CurrentTime;
extern double PreviousTime;
extern double ElapsedTime;
// Set while F1 is up, so holding F1 toggles the fill mode only once.
extern bool WireframeLatch;
// Set when Run could not create its window or its device and so ran no frame.
extern bool StartFailed;

void GetCursorClientPos(int* x, int* y);
int GetClientWidth();
int GetClientHeight();

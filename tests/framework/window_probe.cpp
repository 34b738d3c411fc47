// A windowed test program: every frame clears its back buffer green with the left half
// red, so a look at the window shows whether the frame reached it, and stretched how. It
// prints "first frame" once it runs, and its exit status tells how it ended: 1 when the loop
// ended, Cleanup ran and the device was released; 3 otherwise.
#include <windows.h>

#include <d3d9.h>

#include <cstdio>

#include "framework/app_shell.h"

class WindowProbe : public AppShell {
public:
    explicit WindowProbe(HINSTANCE instance) : AppShell(instance, "window probe", false) {}
    // The back buffer has the client size of the window at device creation.
    void Init() override {
        width = ClientWidth;
        height = ClientHeight;
    }
    void Frame() override {
        const D3DRECT leftHalf = {0, 0, width / 2, height};
        device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(0, 255, 0), 1.0f, 0);
        device->Clear(1, &leftHalf, D3DCLEAR_TARGET, D3DCOLOR_XRGB(255, 0, 0), 1.0f, 0);
        device->Present(nullptr, nullptr, nullptr, nullptr);
        if (!running) {
            std::printf("first frame\n");
            std::fflush(stdout);
            running = true;
        }
        Sleep(5);
    }
    void Cleanup() override { cleanedUp = true; }

    bool cleanedUp = false;

private:
    LONG width = 0;
    LONG height = 0;
    bool running = false;
};

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WindowProbe app(instance);
    app.Run();
    return app.cleanedUp && app.device == nullptr ? 1 : 3;
}

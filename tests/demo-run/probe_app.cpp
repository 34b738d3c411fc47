#include "tests/demo-run/probe_app.h"

#include <ctime>
#include <cwchar>
#include <string>

#include "framework/input_devices.h"

ProbeApp::ProbeApp(HINSTANCE instance) : AppShell(instance, "probe", false), clickLatch(false) {}

void ProbeApp::Init() {
    font.Create(device, 18, D3DCOLOR_XRGB(255, 255, 255));
    SetFpsFont(&font);
}

void ProbeApp::Frame() {
    const D3DCOLOR background = KeyTable['R'] ? D3DCOLOR_XRGB(255, 0, 0) : D3DCOLOR_XRGB(0, 0, 255);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, background, 1.0f, 0);
    device->BeginScene();
    DrawState();
    DrawFps();
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);

    // One box per click, shown after the frame that saw the button go down.
    if (MouseButtons[0] && !clickLatch) {
        int x = 0, y = 0;
        GetCursorClientPos(&x, &y);
        wchar_t text[32];
        std::swprintf(text, 32, L"%d,%d", x, y);
        MessageBoxW(nullptr, text, L"", MB_OK);
    }
    clickLatch = MouseButtons[0] != 0;
}

void ProbeApp::DrawState() {
    wchar_t line[128];
    std::swprintf(line, 128, L"time %lu clock %ld", static_cast<unsigned long>(timeGetTime()),
                  static_cast<long>(clock()));
    font.Draw(line, 10, 40, 400);

    std::wstring keys = L"vk";
    for (int code = 0; code < 256; ++code) {
        if (KeyTable[code]) keys += L" " + std::to_wstring(code);
    }
    keys += L" dik";
    for (int code = 0; code < 256; ++code) {
        if (IsKeyDown(code)) keys += L" " + std::to_wstring(code);
    }
    font.Draw(keys.c_str(), 10, 60, 400);

    int x = 0, y = 0;
    GetCursorClientPos(&x, &y);
    std::swprintf(line, 128, L"cursor %d,%d buttons %d%d snapshot %d%d wireframe %d", x, y, MouseButtons[0],
                  MouseButtons[1], IsMouseButtonDown(0) ? 1 : 0, IsMouseButtonDown(1) ? 1 : 0, wireframe ? 1 : 0);
    font.Draw(line, 10, 80, 400);
}

void ProbeApp::Cleanup() {}

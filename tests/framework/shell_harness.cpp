#include "tests/framework/shell_harness.h"

#include <cstring>

#include <host.h>

#include "framework/input_devices.h"
#include "framework/text_font.h"

void ResetShellState() {
    host::Reset();
    host::SetHeadless(true);
    host::UseTraceDevices(true);
    CurrentTime = PreviousTime = ElapsedTime = 0;
    WireframeLatch = true;
    InputReady = false;
    MessageHook = nullptr;
    StartFailed = false;
    std::memset(KeyboardState, 0, sizeof(KeyboardState));
    std::memset(&MouseState, 0, sizeof(MouseState));
    std::memset(KeyTable, 0, sizeof(KeyTable));
    std::memset(MouseButtons, 0, sizeof(MouseButtons));
    FrameCount = LastTick = FpsTick = FrameMilliseconds = 0;
    Fps = 0;
}

RecordingApp::RecordingApp(const char* caption) : AppShell(GetModuleHandleW(nullptr), caption, false) {}

void RecordingApp::Init() {
    ++inits;
    deviceAtInit = device != nullptr;
    inputAtInit = Keyboard != nullptr || Mouse != nullptr;
    widthAtInit = ClientWidth;
    heightAtInit = ClientHeight;
    if (device != nullptr) device->GetTransform(D3DTS_PROJECTION, &projection);
    font.Create(device, 18, D3DCOLOR_XRGB(255, 255, 0));
}

void RecordingApp::Frame() {
    FrameRecord record;
    record.elapsed = ElapsedTime;
    record.current = CurrentTime;
    record.wireframe = wireframe;
    device->GetRenderState(D3DRS_FILLMODE, &record.fillMode);
    record.keyW = IsKeyDown(DIK_W);
    record.keyTableW = KeyTable['W'];
    record.leftSnapshot = IsMouseButtonDown(0);
    record.leftButton = MouseButtons[0];
    GetCursorClientPos(&record.cursorX, &record.cursorY);
    frames.push_back(record);
    fontDuringFrames = font.font != nullptr;
}

void RecordingApp::Cleanup() { ++cleanups; }

void ScriptedLoop::Run(AppShell& app) {
    clock_ = clockOf(1);
    host::SetVirtualClock([this] { return clock_; });
    host::SetIdleHook([this] { OnIdle(); });
    app.Run();
    host::SetIdleHook(nullptr);
    host::SetVirtualClock(nullptr);
}

void ScriptedLoop::OnIdle() {
    if (started_ >= frames) {
        PostQuitMessage(0);
        return;
    }
    const int next = started_ + 1;
    clock_ = clockOf(next);
    if (prepared_ < next) {
        prepared_ = next;
        const auto injection = before.find(next);
        if (injection != before.end()) {
            injection->second();
            return;
        }
    }
    started_ = next;
}

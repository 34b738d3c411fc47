// Runs an AppShell program in the test process on trace devices: a scripted loop feeds the
// shell one frame per idle turn, with the virtual clock set per frame and input injected
// before chosen frames.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "framework/app_shell.h"
#include "framework/text_font.h"

// Puts the process-wide shell, input and frame-rate state back to its start values and
// the platform into headless mode with trace devices.
void ResetShellState();

struct FrameRecord {
    double elapsed = 0;
    double current = 0;
    bool wireframe = false;
    DWORD fillMode = 0;
    int keyW = 0;
    int keyTableW = 0;
    int leftSnapshot = 0;
    int leftButton = 0;
    int cursorX = 0;
    int cursorY = 0;
};

// Counts its hooks and records what each frame saw.
class RecordingApp : public AppShell {
public:
    explicit RecordingApp(const char* caption = "shell test");
    void Init() override;
    void Frame() override;
    void Cleanup() override;

    int inits = 0;
    int cleanups = 0;
    bool deviceAtInit = false;
    bool inputAtInit = false;
    int widthAtInit = 0;
    int heightAtInit = 0;
    D3DMATRIX projection = {};
    std::vector<FrameRecord> frames;
    // Created in Init and never released by the program: the shell releases it.
    TextFont font;
    bool fontDuringFrames = false;
};

struct ScriptedLoop {
    int frames = 5;
    // The clock in milliseconds during frame F (and while F's input is delivered).
    std::function<uint32_t(int frame)> clockOf = [](int frame) { return uint32_t(1000 + (frame - 1) * 16); };
    // Injections delivered just before frame F; each must queue at least one event.
    std::map<int, std::function<void()>> before;

    // Installs the hooks, runs the program and removes the hooks again.
    void Run(AppShell& app);

private:
    void OnIdle();
    int started_ = 0;
    int prepared_ = 0;
    uint32_t clock_ = 0;
};

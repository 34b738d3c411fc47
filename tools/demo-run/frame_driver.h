// Drives a program's message loop from the platform's idle hook: each time the loop finds
// its queue empty, the driver either delivers the input scheduled for the next frame or
// lets that frame run, with the virtual clock set to the frame's time. After the last
// frame it posts the quit message.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/demo-run/input_script.h"
#include "tools/demo-run/run_options.h"

class FrameDriver {
public:
    FrameDriver(const RunOptions& options, std::vector<ScriptEvent> events);
    ~FrameDriver();
    FrameDriver(const FrameDriver&) = delete;
    FrameDriver& operator=(const FrameDriver&) = delete;

    // Installs the clock, idle, present and listener hooks; the destructor removes them.
    void Install();

    int FramesRun() const { return framesStarted_; }
    // Wall time of each completed frame's Frame call, in milliseconds; kept only when the
    // options ask for the timing line.
    const std::vector<double>& FrameTimes() const { return frameTimes_; }
    // Reasons why requested captures were not written (empty when all were).
    std::vector<std::string> CaptureProblems() const;

private:
    void OnIdle();
    void OnPresent(IDirect3DDevice9* device);
    bool InjectEventsFor(int frame);
    void EndFrameTiming();

    RunOptions options_;
    std::vector<ScriptEvent> events_;
    size_t nextEvent_ = 0;
    uint32_t clockMilliseconds_;
    int framesStarted_ = 0;
    int eventsDeliveredFor_ = 0;
    // The frame being run or prepared, for labelling text and boxes.
    int currentFrame_ = 0;
    bool quitPosted_ = false;
    bool frameOpen_ = false;
    std::chrono::steady_clock::time_point frameStart_;
    std::vector<double> frameTimes_;
    // Whether each capture's frame was presented, written or not.
    std::vector<bool> attempted_;
    std::vector<std::string> captureErrors_;
};

// The line demo-run prints for a text or a message box: frame F text X,Y "TEXT" and
// frame F box "CAPTION" "TEXT", quoted as QuotedText does.
std::string TextLine(int frame, int x, int y, const std::wstring& text);
std::string BoxLine(int frame, const std::wstring& caption, const std::wstring& text);

// "timing frames=N median_ms=X p95_ms=Y" for the given frame times.
std::string TimingLine(std::vector<double> milliseconds);

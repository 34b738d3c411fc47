#include "tools/demo-run/frame_driver.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <host.h>

#include "tools/common/utf8.h"
#include "tools/demo-run/quoting.h"

namespace {

void PrintLine(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
}

}  // namespace

FrameDriver::FrameDriver(const RunOptions& options, std::vector<ScriptEvent> events)
    : options_(options),
      events_(std::move(events)),
      clockMilliseconds_(options.startMilliseconds),
      attempted_(options.captures.size(), false) {}

FrameDriver::~FrameDriver() {
    host::SetIdleHook(nullptr);
    host::SetVirtualClock(nullptr);
    host::SetPresentHook(nullptr);
    host::SetTextListener(nullptr);
    host::SetMessageBoxListener(nullptr);
    host::SetFinishOnPresent(false);
}

void FrameDriver::Install() {
    host::SetVirtualClock([this] { return clockMilliseconds_; });
    host::SetIdleHook([this] { OnIdle(); });
    host::SetPresentHook([this](IDirect3DDevice9* device) { OnPresent(device); });
    host::SetFinishOnPresent(options_.printTiming);
    if (options_.printText) {
        host::SetTextListener([this](int x, int y, const std::wstring& text) {
            PrintLine(TextLine(currentFrame_, x, y, text));
        });
    }
    // Boxes are always answered at once; they are printed only with --text.
    host::SetMessageBoxListener([this](const std::wstring& caption, const std::wstring& text) {
        if (options_.printText) PrintLine(BoxLine(currentFrame_, caption, text));
    });
}

void FrameDriver::OnIdle() {
    EndFrameTiming();
    if (quitPosted_) return;
    if (framesStarted_ >= options_.frames) {
        PostQuitMessage(0);
        quitPosted_ = true;
        return;
    }
    const int frame = framesStarted_ + 1;
    currentFrame_ = frame;
    clockMilliseconds_ = static_cast<uint32_t>(options_.startMilliseconds +
                                               static_cast<uint64_t>(frame - 1) * options_.dtMilliseconds);
    // The frame's events come first; the frame itself runs once they have all been handled.
    if (eventsDeliveredFor_ < frame) {
        eventsDeliveredFor_ = frame;
        if (InjectEventsFor(frame)) return;
    }
    framesStarted_ = frame;
    frameOpen_ = true;
    frameStart_ = std::chrono::steady_clock::now();
}

bool FrameDriver::InjectEventsFor(int frame) {
    while (nextEvent_ < events_.size() && events_[nextEvent_].frame < frame) ++nextEvent_;
    bool injected = false;
    for (; nextEvent_ < events_.size() && events_[nextEvent_].frame == frame; ++nextEvent_) {
        const ScriptEvent& event = events_[nextEvent_];
        switch (event.kind) {
        case ScriptEvent::kKeyDown: host::InjectKey(event.virtualKey, true); break;
        case ScriptEvent::kKeyUp: host::InjectKey(event.virtualKey, false); break;
        case ScriptEvent::kMove: host::InjectMouseMove(event.x, event.y); break;
        case ScriptEvent::kLeftDown: host::InjectMouseButton(0, true); break;
        case ScriptEvent::kLeftUp: host::InjectMouseButton(0, false); break;
        case ScriptEvent::kRightDown: host::InjectMouseButton(1, true); break;
        case ScriptEvent::kRightUp: host::InjectMouseButton(1, false); break;
        case ScriptEvent::kClose: host::InjectClose(); break;
        }
        injected = true;
    }
    return injected;
}

void FrameDriver::EndFrameTiming() {
    if (!frameOpen_) return;
    frameOpen_ = false;
    if (!options_.printTiming) return;
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - frameStart_;
    frameTimes_.push_back(elapsed.count());
}

void FrameDriver::OnPresent(IDirect3DDevice9* device) {
    for (size_t i = 0; i < options_.captures.size(); ++i) {
        const FrameCapture& capture = options_.captures[i];
        if (capture.frame != framesStarted_ || !frameOpen_) continue;
        attempted_[i] = true;
        int width = 0, height = 0;
        std::vector<uint32_t> pixels;
        if (!host::ReadBackBuffer(device, &width, &height, &pixels)) {
            captureErrors_.push_back("cannot read the back buffer for frame " + std::to_string(capture.frame));
        } else if (!host::WritePng(capture.path, width, height, pixels)) {
            captureErrors_.push_back("cannot write " + QuotedWord(capture.path));
        }
    }
}

std::vector<std::string> FrameDriver::CaptureProblems() const {
    std::vector<std::string> problems = captureErrors_;
    for (size_t i = 0; i < attempted_.size(); ++i) {
        const FrameCapture& capture = options_.captures[i];
        if (!attempted_[i] && capture.frame <= framesStarted_)
            problems.push_back("frame " + std::to_string(capture.frame) + " presented nothing for " + QuotedWord(capture.path));
    }
    return problems;
}

std::string TextLine(int frame, int x, int y, const std::wstring& text) {
    return "frame " + std::to_string(frame) + " text " + std::to_string(x) + "," + std::to_string(y) + " " +
           QuotedText(Utf8(text));
}

std::string BoxLine(int frame, const std::wstring& caption, const std::wstring& text) {
    return "frame " + std::to_string(frame) + " box " + QuotedText(Utf8(caption)) + " " + QuotedText(Utf8(text));
}

std::string TimingLine(std::vector<double> milliseconds) {
    std::sort(milliseconds.begin(), milliseconds.end());
    const size_t count = milliseconds.size();
    double median = 0, p95 = 0;
    if (count > 0) {
        median = count % 2 == 1 ? milliseconds[count / 2]
                                : (milliseconds[count / 2 - 1] + milliseconds[count / 2]) / 2;
        // Nearest rank: the smallest time that at least 95 % of the frames do not exceed.
        const size_t rank = static_cast<size_t>(std::ceil(0.95 * count));
        p95 = milliseconds[std::max<size_t>(rank, 1) - 1];
    }
    char line[128];
    std::snprintf(line, sizeof(line), "timing frames=%zu median_ms=%.3f p95_ms=%.3f", count, median, p95);
    return line;
}

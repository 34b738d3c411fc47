#include "d3dx/text_listener.h"

#include <host.h>

#include <functional>
#include <mutex>

namespace platform::d3dx {
namespace {

std::mutex listenerMutex;
std::function<void(int, int, const std::wstring&)> textListener;
void (*windowSystemObserver)(int, int, const std::wstring&) = nullptr;

}  // namespace

void NotifyTextDrawn(int x, int y, const std::wstring& text) {
    std::function<void(int, int, const std::wstring&)> listener;
    {
        std::lock_guard lock(listenerMutex);
        listener = textListener;
    }
    if (listener) listener(x, y, text);
    if (windowSystemObserver != nullptr) windowSystemObserver(x, y, text);
}

void SetWindowSystemTextObserver(void (*observer)(int x, int y, const std::wstring& text)) {
    windowSystemObserver = observer;
}

}  // namespace platform::d3dx

namespace host {

void SetTextListener(std::function<void(int x, int y, const std::wstring& text)> listener) {
    std::lock_guard lock(platform::d3dx::listenerMutex);
    platform::d3dx::textListener = std::move(listener);
}

}  // namespace host

// The host's text listener (host::SetTextListener), told about every DrawTextW call.
#pragma once

#include <string>

namespace platform::d3dx {

void NotifyTextDrawn(int x, int y, const std::wstring& text);

// The window system's own observer of drawn texts, beside the host's listener: the browser's
// page shows its checks the texts of the last frame. Null for none.
void SetWindowSystemTextObserver(void (*observer)(int x, int y, const std::wstring& text));

}  // namespace platform::d3dx

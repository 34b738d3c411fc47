// The host's text listener (host::SetTextListener), told about every DrawTextW call.
#pragma once

#include <string>

namespace platform::d3dx {

void NotifyTextDrawn(int x, int y, const std::wstring& text);

}  // namespace platform::d3dx

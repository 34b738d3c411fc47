// Conversions between UTF-8 (the code page of this platform) and wide strings (UTF-32 here).
#pragma once

#include <string>

namespace platform {

std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);

}  // namespace platform

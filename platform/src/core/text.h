// Conversions between UTF-8 (the code page of this platform) and wide strings (UTF-32 here).
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Malformed sequences (bad bytes, overlong forms, surrogates, values past U+10FFFF) become
// U+FFFD; `invalidFound`, when given, tells whether there were any.
std::wstring WideFromUtf8(const char* text, size_t length, bool* invalidFound = nullptr);
std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const wchar_t* text, size_t length, bool* invalidFound = nullptr);
std::string Utf8FromWide(const std::wstring& text);

}  // namespace platform

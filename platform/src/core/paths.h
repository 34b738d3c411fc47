// The one path resolver: every platform function that opens a file by a Windows-style path
// goes through it, so "..\Resource\Skin.BMP" finds build/Resource/skin.bmp as on Windows.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Turns a Windows-style path (UTF-8) into the path of the file on this system: '\' and
// repeated separators become one '/', a leading "..\Resource\" maps to the resource folder
// override when one is set, and each component is matched case-insensitively against the
// file system. Components that do not exist are kept as written, so new files can be created.
std::string ResolvePath(const std::string& windowsPath);
std::string ResolvePath(const std::wstring& windowsPath);

// fopen of the resolved path; the mode is the C library's ("rb", "w" ...). NULL on failure,
// and for anything that is not a regular file (errno EACCES): a FIFO, a device or a folder
// is refused at once instead of blocking or reading without end.
FILE* OpenFile(const std::string& windowsPath, const char* mode);
FILE* OpenFile(const std::wstring& windowsPath, const char* mode);

// Every byte of a regular file named by a Windows-style path; nothing when it cannot be read
// or holds more than maxBytes.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::wstring& windowsPath, uint64_t maxBytes);

}  // namespace platform

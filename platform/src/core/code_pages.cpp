// MultiByteToWideChar and WideCharToMultiByte. The ANSI code page of this platform is UTF-8,
// so CP_ACP and CP_UTF8 convert alike; the argument checks and size rules are Windows':
// a count of -1 means "up to and including the terminator", an output size of 0 asks for the
// size needed, and a buffer that is too small or a bad argument gives 0.
#include <windows.h>

#include <cstring>
#include <string>

#include "core/text.h"

namespace {

constexpr DWORD kAnsiMultiByteFlags = 0x0000000F;  // MB_PRECOMPOSED, COMPOSITE, USEGLYPHCHARS, ERR_INVALID_CHARS
constexpr DWORD kAnsiWideFlags = 0x000006F0;       // WC_COMPOSITECHECK, DISCARDNS, SEPCHARS, DEFAULTCHAR, NO_BEST_FIT, ERR

bool IsSupportedCodePage(UINT codePage) { return codePage == CP_ACP || codePage == CP_UTF8; }

// Copies `converted` out as Windows does: the size when `capacity` is 0, 0 when it does not fit.
template <typename Char>
int DeliverConverted(const std::basic_string<Char>& converted, Char* out, int capacity) {
    auto size = static_cast<int>(converted.size());
    if (capacity == 0) return size;
    if (size > capacity) return 0;
    std::memcpy(out, converted.data(), converted.size() * sizeof(Char));
    return size;
}

}  // namespace

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int multiByteCount, LPWSTR wide,
                               int wideCount) {
    if (!IsSupportedCodePage(codePage)) return 0;
    DWORD allowedFlags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : kAnsiMultiByteFlags;
    if ((flags & ~allowedFlags) != 0) return 0;
    if (multiByte == nullptr || multiByteCount == 0 || wideCount < 0) return 0;
    if (wide == nullptr && wideCount > 0) return 0;
    if (static_cast<const void*>(multiByte) == static_cast<const void*>(wide)) return 0;

    size_t length = multiByteCount < 0 ? std::strlen(multiByte) + 1 : static_cast<size_t>(multiByteCount);
    bool invalid = false;
    std::wstring converted = platform::WideFromUtf8(multiByte, length, &invalid);
    if (invalid && (flags & MB_ERR_INVALID_CHARS)) return 0;
    return DeliverConverted(converted, wide, wideCount);
}

int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideCount, LPSTR multiByte,
                               int multiByteCount, LPCSTR defaultChar, BOOL* usedDefaultChar) {
    if (!IsSupportedCodePage(codePage)) return 0;
    if (codePage == CP_UTF8) {
        // UTF-8 has no default character: Windows refuses the two parameters for it.
        if ((flags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS)) != 0) return 0;
        if (defaultChar != nullptr || usedDefaultChar != nullptr) return 0;
    } else if ((flags & ~kAnsiWideFlags) != 0) {
        return 0;
    }
    if (wide == nullptr || wideCount == 0 || multiByteCount < 0) return 0;
    if (multiByte == nullptr && multiByteCount > 0) return 0;
    if (static_cast<const void*>(multiByte) == static_cast<const void*>(wide)) return 0;

    size_t length = wideCount < 0 ? std::wcslen(wide) + 1 : static_cast<size_t>(wideCount);
    bool invalid = false;
    std::string converted = platform::Utf8FromWide(wide, length, &invalid);
    if (invalid && (flags & WC_ERR_INVALID_CHARS)) return 0;
    if (usedDefaultChar != nullptr) *usedDefaultChar = FALSE;
    return DeliverConverted(converted, multiByte, multiByteCount);
}

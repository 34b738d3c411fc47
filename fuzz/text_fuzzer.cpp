// MultiByteToWideChar and WideCharToMultiByte on arbitrary bytes, both ways: the size asked
// for is the size written, a buffer one short is refused without being overrun, invalid input
// is refused exactly when MB_ERR_INVALID_CHARS / WC_ERR_INVALID_CHARS ask for it, and valid
// UTF-8 survives the way there and back.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// From bytes to wide characters; returns the characters, empty when refused.
std::vector<wchar_t> ToWide(const char* bytes, int count, DWORD flags) {
    const int needed = MultiByteToWideChar(CP_UTF8, flags, bytes, count, nullptr, 0);
    if (needed == 0) return {};
    std::vector<wchar_t> wide(static_cast<size_t>(needed));
    Require(MultiByteToWideChar(CP_UTF8, flags, bytes, count, wide.data(), needed) == needed);
    if (needed > 1) {
        std::vector<wchar_t> shorter(static_cast<size_t>(needed - 1));
        Require(MultiByteToWideChar(CP_UTF8, flags, bytes, count, shorter.data(), needed - 1) == 0);
    }
    return wide;
}

std::vector<char> ToBytes(const wchar_t* wide, int count, DWORD flags) {
    const int needed = WideCharToMultiByte(CP_UTF8, flags, wide, count, nullptr, 0, nullptr, nullptr);
    if (needed == 0) return {};
    std::vector<char> bytes(static_cast<size_t>(needed));
    Require(WideCharToMultiByte(CP_UTF8, flags, wide, count, bytes.data(), needed, nullptr, nullptr) == needed);
    if (needed > 1) {
        std::vector<char> shorter(static_cast<size_t>(needed - 1));
        Require(WideCharToMultiByte(CP_UTF8, flags, wide, count, shorter.data(), needed - 1, nullptr, nullptr) == 0);
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > (1 << 16)) return 0;
    const char* bytes = reinterpret_cast<const char*>(data);
    const int count = static_cast<int>(size);

    // Every byte is read: a malformed one becomes U+FFFD, so there is at least one character
    // for every four bytes and at most one for each byte.
    const std::vector<wchar_t> lenient = ToWide(bytes, count, 0);
    Require(!lenient.empty() && lenient.size() <= size && lenient.size() * 4 >= size);
    const std::vector<wchar_t> strict = ToWide(bytes, count, MB_ERR_INVALID_CHARS);
    const bool valid = !strict.empty();
    if (valid) {
        Require(strict == lenient);
        const std::vector<char> back = ToBytes(strict.data(), static_cast<int>(strict.size()), WC_ERR_INVALID_CHARS);
        Require(back.size() == size && std::memcmp(back.data(), bytes, size) == 0);
    }

    // The same bytes as wide characters (4 at a time): anything that is no Unicode scalar
    // value is refused strictly and replaced leniently.
    std::vector<wchar_t> wide(size / sizeof(wchar_t));
    if (!wide.empty()) {
        std::memcpy(wide.data(), data, wide.size() * sizeof(wchar_t));
        const std::vector<char> replaced = ToBytes(wide.data(), static_cast<int>(wide.size()), 0);
        Require(!replaced.empty() && replaced.size() <= wide.size() * 4);
        const std::vector<char> checked = ToBytes(wide.data(), static_cast<int>(wide.size()), WC_ERR_INVALID_CHARS);
        if (!checked.empty()) Require(checked == replaced);
    }
    return 0;
}

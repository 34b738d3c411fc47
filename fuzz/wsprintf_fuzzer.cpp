// wsprintfW with an arbitrary format: each argument it may read is the address of one wide
// string (which reads as a number, a character, a wide or a narrow string alike). The output
// must stay within the 1024 characters Windows allows, terminated, and the count returned
// must be its length.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

constexpr size_t kOutput = 1024;
// Each conversion takes at most one argument (there is no '*' width), so a format with no
// more '%' than this reads only arguments that were passed.
constexpr size_t kArguments = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring format;
    for (size_t i = 0; i + 1 < size; i += 2) format.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    size_t percents = 0;
    for (wchar_t c : format) percents += c == L'%';
    if (percents > kArguments) return 0;
    static const wchar_t argument[] = L"text";
    const wchar_t* a = argument;
    wchar_t output[kOutput + 16];
    std::wmemset(output, L'#', kOutput + 16);
    const int written = wsprintfW(output, format.c_str(), a, a, a, a, a, a, a, a);
    if (written < 0 || static_cast<size_t>(written) >= kOutput) std::abort();
    if (output[written] != L'\0' || std::wcslen(output) != static_cast<size_t>(written)) std::abort();
    for (size_t i = kOutput; i < kOutput + 16; ++i) {
        if (output[i] != L'#') std::abort();
    }
    return 0;
}

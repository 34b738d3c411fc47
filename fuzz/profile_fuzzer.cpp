// Arbitrary bytes as a profile file, read and rewritten through GetPrivateProfileStringW and
// WritePrivateProfileStringW. The first bytes choose the edit; the rest is the file.
// Invariants: every read returns a terminated string that fits its buffer; a value written
// reads back as itself (without surrounding blanks and quotation marks, as Windows reads it);
// every other value and the list of sections read as before; the file keeps its encoding;
// an entry or section deleted is deleted without disturbing the others' values.
#include <windows.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/profile_encoding.h"

#include "fuzz/fuzz_support.h"

namespace {

constexpr DWORD kBufferSize = 4096;

std::string scratchFolder;

void RemoveScratchFolder() {
    std::remove((scratchFolder + "/scene.ini").c_str());
    rmdir(scratchFolder.c_str());
}

// A folder of its own in memory, removed again when the fuzzer ends (kept after a finding).
const std::wstring& ScratchFile() {
    static const std::wstring path = [] {
        char folder[] = "/dev/shm/profile_fuzzer_XXXXXX";
        char fallback[] = "/tmp/profile_fuzzer_XXXXXX";
        const char* made = mkdtemp(folder);
        if (made == nullptr) made = mkdtemp(fallback);
        if (made == nullptr) std::abort();
        scratchFolder = made;
        std::atexit(RemoveScratchFolder);
        std::string file = scratchFolder + "/scene.ini";
        return std::wstring(file.begin(), file.end());
    }();
    return path;
}

std::string FileBytes() {
    std::string bytes;
    FILE* file = std::fopen(std::string(ScratchFile().begin(), ScratchFile().end()).c_str(), "rb");
    if (file == nullptr) return bytes;
    char chunk[4096];
    size_t count;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, count);
    std::fclose(file);
    return bytes;
}

std::vector<wchar_t> Read(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue) {
    static wchar_t buffer[kBufferSize + 1];
    buffer[kBufferSize] = L'#';
    DWORD count = GetPrivateProfileStringW(section, key, defaultValue, buffer, kBufferSize, ScratchFile().c_str());
    if (count >= kBufferSize || buffer[count] != L'\0' || buffer[kBufferSize] != L'#') std::abort();
    return std::vector<wchar_t>(buffer, buffer + count);
}

std::wstring Value(const std::wstring& section, const std::wstring& key) {
    std::vector<wchar_t> value = Read(section.c_str(), key.c_str(), L"<default>");
    return std::wstring(value.begin(), value.end());
}

// Names listed in a NUL-separated list, as the reads with a null name return them.
std::vector<std::wstring> Split(const std::vector<wchar_t>& list) {
    std::vector<std::wstring> names(1);
    for (wchar_t c : list) {
        if (c == L'\0') names.emplace_back();
        else names.back().push_back(c);
    }
    names.pop_back();
    return names;
}

std::wstring Pick(const std::vector<std::wstring>& names, uint8_t choice, const wchar_t* fallback) {
    return choice < names.size() ? names[choice] : std::wstring(fallback);
}

// A value from a small alphabet that holds blanks, quotation marks, the structural characters,
// Chinese, a character beyond the BMP and a lone surrogate (stored as U+FFFD).
std::wstring MakeValue(const uint8_t* data, size_t size) {
    static const wchar_t alphabet[] = {L' ', L'\t', L'"', L'\'', L'=', L'[', L']', L';', L'a', L'7',
                                       L'.', L'\u677E', static_cast<wchar_t>(0x1F332), static_cast<wchar_t>(0xD800)};
    std::wstring value;
    for (size_t i = 0; i < size; ++i) value.push_back(alphabet[data[i] % (sizeof alphabet / sizeof alphabet[0])]);
    return value;
}

std::wstring WithoutBlanks(std::wstring text) {
    auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!text.empty() && blank(text.back())) text.pop_back();
    size_t first = 0;
    while (first < text.size() && blank(text[first])) ++first;
    return text.substr(first);
}

std::wstring AsRead(std::wstring value) {
    for (wchar_t& c : value) {
        if (c == static_cast<wchar_t>(0xD800)) c = 0xFFFD;
    }
    value = WithoutBlanks(value);
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == L'"' || value.front() == L'\'')) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

// Names compare as Windows compares them: without surrounding blanks and ASCII case.
bool SameName(const std::wstring& x, const std::wstring& y) {
    std::wstring a = WithoutBlanks(x), b = WithoutBlanks(y);
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

struct Snapshot {
    std::vector<std::wstring> sections;
    std::vector<std::vector<std::wstring>> keys;
    std::vector<std::vector<std::wstring>> values;
};

// The first few keys of the first few sections, which the edit must leave as they were.
Snapshot Take() {
    Snapshot snapshot;
    snapshot.sections = Split(Read(nullptr, nullptr, L""));
    for (size_t s = 0; s < snapshot.sections.size() && s < 4; ++s) {
        snapshot.keys.push_back(Split(Read(snapshot.sections[s].c_str(), nullptr, L"")));
        snapshot.values.emplace_back();
        for (size_t k = 0; k < snapshot.keys[s].size() && k < 4; ++k) {
            snapshot.values[s].push_back(Value(snapshot.sections[s], snapshot.keys[s][k]));
        }
    }
    return snapshot;
}

bool StartsLikeCommentOrHeader(const std::wstring& name) {
    std::wstring trimmed = WithoutBlanks(name);
    return !trimmed.empty() && (trimmed[0] == L';' || trimmed[0] == L'[');
}

using fuzz::Require;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    uint8_t operation = data[0] % 3, sectionChoice = data[1], keyChoice = data[2];
    size_t valueSize = std::min<size_t>(data[3] % 16, size - 4);
    std::wstring value = MakeValue(data + 4, valueSize);
    std::string file(reinterpret_cast<const char*>(data + 4 + valueSize), size - 4 - valueSize);
    std::string path(ScratchFile().begin(), ScratchFile().end());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0) {
        std::abort();
    }

    Snapshot before = Take();
    std::wstring section = Pick(before.sections, sectionChoice, L"3DS0");
    std::wstring key = Pick(Split(Read(section.c_str(), nullptr, L"")), keyChoice, L"posx");
    const wchar_t* keyArgument = operation == 2 ? nullptr : key.c_str();
    const wchar_t* valueArgument = operation == 0 ? value.c_str() : nullptr;
    BOOL written = WritePrivateProfileStringW(section.c_str(), keyArgument, valueArgument, ScratchFile().c_str());
    if (!written) {
        // Names read from the file are storable, except a fragment of a name that held a NUL
        // ("a\0;b=1" lists as "a" and ";b"), which may read as a comment or a header.
        Require(operation != 2 && StartsLikeCommentOrHeader(key));
        Require(FileBytes() == file);
        return 0;
    }

    std::string after = FileBytes();
    Require(platform::DetectProfileEncoding(after) == platform::DetectProfileEncoding(file));
    if (operation == 0) Require(Value(section, key) == AsRead(value));
    if (operation == 2) return 0;  // a later section of the same name may now be the first
    Snapshot now = Take();
    size_t added = now.sections.size() - before.sections.size();
    Require(now.sections.size() >= before.sections.size() && added <= (operation == 0 ? 1u : 0u));
    for (size_t s = 0; s < before.values.size(); ++s) {
        Require(now.sections[s] == before.sections[s]);
        for (size_t k = 0; k < before.values[s].size(); ++k) {
            bool edited = SameName(before.sections[s], section) && SameName(before.keys[s][k], key);
            if (!edited) Require(Value(before.sections[s], before.keys[s][k]) == before.values[s][k]);
        }
    }
    return 0;
}

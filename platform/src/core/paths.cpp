#include "core/paths.h"

#include <host.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <mutex>
#include <vector>

#include "core/regular_file.h"
#include "core/text.h"

namespace platform {
namespace {

std::mutex resourceFolderMutex;
std::string resourceFolder;

std::string CurrentResourceFolder() {
    std::lock_guard<std::mutex> lock(resourceFolderMutex);
    return resourceFolder;
}

// Windows compares file names without regard to case; the names our programs use are ASCII,
// so ASCII folding is what matters (other characters must match exactly).
bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

struct SplitPath {
    bool absolute = false;
    bool trailingSeparator = false;
    std::vector<std::string> components;
};

// '\' and '/' both separate; runs of separators count as one, as Windows reads them.
SplitPath Split(const std::string& path) {
    SplitPath split;
    std::string current;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!current.empty()) split.components.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) split.components.push_back(current);
    split.absolute = !path.empty() && (path[0] == '/' || path[0] == '\\');
    split.trailingSeparator = !path.empty() && (path.back() == '/' || path.back() == '\\') && !split.components.empty();
    return split;
}

std::string Join(const std::string& base, const std::string& name) {
    if (base.empty()) return name;
    if (base.back() == '/') return base + name;
    return base + "/" + name;
}

// The entry of `directory` that names `component` on Windows: the exact spelling when it
// exists, otherwise the first case-insensitive match in sorted order. Empty when none.
std::string MatchEntry(const std::string& directory, const std::string& component) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(fs::path(Join(directory, component)), error)) return component;
    std::vector<std::string> matches;
    fs::directory_iterator entries(directory.empty() ? fs::path(".") : fs::path(directory), error);
    if (error) return {};
    for (const fs::directory_entry& entry : entries) {
        std::string name = entry.path().filename().string();
        if (EqualIgnoringCase(name, component)) matches.push_back(name);
    }
    if (matches.empty()) return {};
    return *std::min_element(matches.begin(), matches.end());
}

}  // namespace

std::string ResolvePath(const std::string& windowsPath) {
    SplitPath split = Split(windowsPath);
    std::string resolved = split.absolute ? "/" : "";
    size_t first = 0;

    std::string override = CurrentResourceFolder();
    if (!override.empty() && split.components.size() >= 2 && split.components[0] == ".." &&
        EqualIgnoringCase(split.components[1], "Resource")) {
        resolved = override;
        first = 2;
    }

    bool stillOnDisk = true;
    for (size_t i = first; i < split.components.size(); ++i) {
        const std::string& component = split.components[i];
        if (component == "." || component == ".." || !stillOnDisk) {
            resolved = Join(resolved, component);
            continue;
        }
        std::string entry = MatchEntry(resolved, component);
        if (entry.empty()) {
            stillOnDisk = false;
            entry = component;
        }
        resolved = Join(resolved, entry);
    }
    if (split.trailingSeparator) resolved += "/";
    return resolved;
}

std::string ResolvePath(const std::wstring& windowsPath) { return ResolvePath(Utf8FromWide(windowsPath)); }

FILE* OpenFile(const std::string& windowsPath, const char* mode) {
    if (mode == nullptr) return nullptr;
    return std::fopen(ResolvePath(windowsPath).c_str(), mode);
}

FILE* OpenFile(const std::wstring& windowsPath, const char* mode) { return OpenFile(Utf8FromWide(windowsPath), mode); }

// The largest file a loader reads whole: far beyond any picture or mesh the programs use,
// small enough that a wrong file cannot use up the memory.
constexpr size_t kMaxWholeFileBytes = size_t{256} << 20;

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::wstring& windowsPath) {
    // Only regular files are read: a name taken from a data file could be a device that never
    // ends (/dev/zero) or a FIFO that blocks.
    const RegularFileContents contents = ReadRegularFile(ResolvePath(windowsPath), kMaxWholeFileBytes);
    if (contents.status != RegularFileContents::Status::Read) return std::nullopt;
    return std::vector<uint8_t>(contents.bytes.begin(), contents.bytes.end());
}

}  // namespace platform

namespace host {

void SetResourceFolder(const std::string& folder) {
    std::lock_guard<std::mutex> lock(platform::resourceFolderMutex);
    platform::resourceFolder = folder;
}

std::string ResolvePath(const std::wstring& windowsPath) { return platform::ResolvePath(windowsPath); }
std::string ResolvePath(const std::string& windowsPath) { return platform::ResolvePath(windowsPath); }

}  // namespace host

// The C runtime's wide fopen. Windows modes may carry 't' (text, the default here) and a
// ",ccs=..." encoding suffix, neither of which the C library here knows; both are dropped.
FILE* _wfopen(const wchar_t* path, const wchar_t* mode) {
    if (path == nullptr || mode == nullptr) {
        errno = EINVAL;
        return nullptr;
    }
    std::string narrowMode;
    for (const wchar_t* c = mode; *c != L'\0' && *c != L','; ++c) {
        if (*c != L't' && *c != L' ') narrowMode.push_back(static_cast<char>(*c));
    }
    return platform::OpenFile(std::wstring(path), narrowMode.c_str());
}

#include "core/paths.h"

#include <host.h>
#include <windows.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

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
    fs::directory_iterator entry(directory.empty() ? fs::path(".") : fs::path(directory), error);
    // Stepping with an error code: a folder that fails half way is no reason to throw.
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        std::string name = entry->path().filename().string();
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

namespace {

struct OpenMode {
    int flags = 0;
    bool truncate = false;
};

// The open(2) flags of a C library mode ("r", "wb", "a+" ...); false for a mode fopen refuses.
bool ParseMode(const char* mode, OpenMode* out) {
    const bool update = std::strchr(mode, '+') != nullptr;
    switch (mode[0]) {
        case 'r': out->flags = update ? O_RDWR : O_RDONLY; break;
        case 'w': out->flags = (update ? O_RDWR : O_WRONLY) | O_CREAT; out->truncate = true; break;
        case 'a': out->flags = (update ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND; break;
        default: return false;
    }
    if (std::strchr(mode, 'x') != nullptr) out->flags |= O_EXCL;
    return true;
}

}  // namespace

// Only regular files are opened, and without waiting: a FIFO, a device or a folder behind a
// resource name would otherwise hang the program in open or feed it without end. Truncation
// waits until the file is known to be a regular one.
FILE* OpenFile(const std::string& windowsPath, const char* mode) {
    OpenMode parsed;
    if (mode == nullptr || !ParseMode(mode, &parsed)) {
        errno = EINVAL;
        return nullptr;
    }
    const std::string path = ResolvePath(windowsPath);
    int descriptor = open(path.c_str(), parsed.flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (descriptor < 0) return nullptr;
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        errno = EACCES;
        return nullptr;
    }
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    if (parsed.truncate && ftruncate(descriptor, 0) != 0) {
        close(descriptor);
        return nullptr;
    }
    FILE* file = fdopen(descriptor, mode);
    if (file == nullptr) close(descriptor);
    return file;
}

FILE* OpenFile(const std::wstring& windowsPath, const char* mode) { return OpenFile(Utf8FromWide(windowsPath), mode); }

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::wstring& windowsPath, uint64_t maxBytes) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(OpenFile(windowsPath, "rb"), &std::fclose);
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return std::nullopt;
    const long size = std::ftell(file.get());
    if (size < 0 || static_cast<uint64_t>(size) > maxBytes || std::fseek(file.get(), 0, SEEK_SET) != 0) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return std::nullopt;
    return bytes;
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

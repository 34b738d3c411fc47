// The C runtime's directory search (_wfindfirst, _wfindnext, _findclose). A search lists the
// whole folder when it starts, keeps the matches in a sorted list and hands them out one by
// one, so the order does not depend on the file system's.
#include <io.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cwchar>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/paths.h"
#include "core/text.h"

namespace platform {
namespace {

struct Search {
    std::vector<_wfinddata_t> matches;
    size_t next = 0;
};

std::mutex searchesMutex;
std::map<intptr_t, Search> searches;
intptr_t lastHandle = 0;

wchar_t FoldCase(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

std::wstring Folded(const std::wstring& text) {
    std::wstring folded = text;
    for (wchar_t& c : folded) c = FoldCase(c);
    return folded;
}

// '*' matches any run of characters (the empty one too), '?' exactly one; case is ignored as
// Windows ignores it in file names. Greedy with one backtrack point, so it stays linear-ish.
bool MatchesWildcard(const std::wstring& name, const std::wstring& pattern) {
    size_t n = 0, p = 0, starPattern = std::wstring::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            starPattern = p++;
            starName = n;
        } else if (starPattern != std::wstring::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

// Fills one entry from the file system; false when the name cannot be given back whole.
bool DescribeEntry(const std::string& folder, const std::string& name, _wfinddata_t* entry) {
    bool invalid = false;
    const std::wstring wide = WideFromUtf8(name.data(), name.size(), &invalid);
    constexpr size_t capacity = sizeof(entry->name) / sizeof(entry->name[0]);
    if (invalid || wide.size() >= capacity) return false;
    *entry = _wfinddata_t{};
    std::wmemcpy(entry->name, wide.c_str(), wide.size() + 1);
    struct stat status {};
    const std::string path = folder.empty() ? name : folder + "/" + name;
    if (stat(path.c_str(), &status) != 0) return false;
    const bool directory = S_ISDIR(status.st_mode);
    entry->attrib = directory ? _A_SUBDIR : _A_ARCH;
    if ((status.st_mode & S_IWUSR) == 0) entry->attrib |= _A_RDONLY;
    entry->time_create = status.st_ctime;
    entry->time_access = status.st_atime;
    entry->time_write = status.st_mtime;
    entry->size = directory ? 0 : static_cast<_fsize_t>(status.st_size);
    return true;
}

// The matches of the pattern's last component in the folder before it, sorted.
std::vector<_wfinddata_t> ListMatches(const std::wstring& pattern) {
    const size_t separator = pattern.find_last_of(L"\\/");
    const std::wstring folderPart = separator == std::wstring::npos ? L"" : pattern.substr(0, separator + 1);
    const std::wstring namePattern = separator == std::wstring::npos ? pattern : pattern.substr(separator + 1);
    std::string folder = folderPart.empty() ? "." : ResolvePath(folderPart);
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();

    std::vector<std::string> names = {".", ".."};
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        names.push_back(it->path().filename().string());
    }
    if (error) return {};

    std::vector<_wfinddata_t> matches;
    for (const std::string& name : names) {
        _wfinddata_t entry;
        if (DescribeEntry(folder, name, &entry) && MatchesWildcard(entry.name, namePattern)) matches.push_back(entry);
    }
    std::sort(matches.begin(), matches.end(), [](const _wfinddata_t& a, const _wfinddata_t& b) {
        const std::wstring foldedA = Folded(a.name), foldedB = Folded(b.name);
        if (foldedA != foldedB) return foldedA < foldedB;
        return std::wcscmp(a.name, b.name) < 0;
    });
    return matches;
}

}  // namespace
}  // namespace platform

intptr_t _wfindfirst(const wchar_t* pattern, struct _wfinddata_t* found) {
    if (pattern == nullptr || found == nullptr) {
        errno = EINVAL;
        return -1;
    }
    std::vector<_wfinddata_t> matches = platform::ListMatches(pattern);
    if (matches.empty()) {
        errno = ENOENT;
        return -1;
    }
    *found = matches.front();
    std::lock_guard<std::mutex> lock(platform::searchesMutex);
    const intptr_t handle = ++platform::lastHandle;
    platform::searches[handle] = platform::Search{std::move(matches), 1};
    return handle;
}

int _wfindnext(intptr_t handle, struct _wfinddata_t* found) {
    std::lock_guard<std::mutex> lock(platform::searchesMutex);
    auto search = platform::searches.find(handle);
    if (search == platform::searches.end() || found == nullptr) {
        errno = EINVAL;
        return -1;
    }
    if (search->second.next >= search->second.matches.size()) {
        errno = ENOENT;
        return -1;
    }
    *found = search->second.matches[search->second.next++];
    return 0;
}

int _findclose(intptr_t handle) {
    std::lock_guard<std::mutex> lock(platform::searchesMutex);
    if (platform::searches.erase(handle) == 0) {
        errno = EINVAL;
        return -1;
    }
    return 0;
}

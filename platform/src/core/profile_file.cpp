// GetPrivateProfileStringW and WritePrivateProfileStringW: the Windows profile-file calls,
// with their documented rules for defaults, buffer sizes, lists and deletions. A file read
// once is kept, parsed, until it changes: a write through these calls, or another size, time
// or file on disk; so reading thousands of values costs one read of the file.
#include <windows.h>

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "core/last_error.h"
#include "core/paths.h"
#include "core/profile_edit.h"
#include "core/profile_text.h"
#include "core/regular_file.h"

namespace {

// A profile file larger than this is neither read (callers get their defaults) nor rewritten,
// so a wrong path to some huge file costs no time or memory. A scene file of thousands of
// objects is well under one megabyte.
constexpr size_t kMaxProfileBytes = 16 * 1024 * 1024;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring WithoutTrailingBlanks(const wchar_t* text) {
    std::wstring result = text == nullptr ? L"" : text;
    while (!result.empty() && IsBlank(result.back())) result.pop_back();
    return result;
}

std::wstring WithoutSurroundingBlanks(const wchar_t* text) {
    std::wstring result = WithoutTrailingBlanks(text);
    size_t first = 0;
    while (first < result.size() && IsBlank(result[first])) ++first;
    return result.substr(first);
}

// A value in matching single or double quotation marks is read without them.
std::wstring WithoutQuotes(std::wstring value) {
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == L'"' || value.front() == L'\'')) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

wchar_t FoldCase(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

std::wstring Folded(std::wstring name) {
    for (wchar_t& c : name) c = FoldCase(c);
    return name;
}

// The value of each key in the first section of each name, both folded as SameProfileName
// compares them: what FindProfileValue finds, found without walking the file.
using ProfileIndex = std::unordered_map<std::wstring, std::unordered_map<std::wstring, std::wstring>>;

ProfileIndex IndexOf(const platform::ProfileText& text) {
    ProfileIndex index;
    std::unordered_map<std::wstring, std::wstring>* section = nullptr;
    platform::ProfileLine line;
    for (size_t offset = text.FirstLine(); text.ReadLine(offset, &line); offset = line.next) {
        if (line.kind == platform::ProfileLine::Kind::Section) {
            auto inserted = index.try_emplace(Folded(line.name));
            section = inserted.second ? &inserted.first->second : nullptr;  // a later namesake is never read
        } else if (section != nullptr && line.kind == platform::ProfileLine::Kind::Entry) {
            section->try_emplace(Folded(line.name), line.value);
        }
    }
    return index;
}

struct ProfileFile {
    platform::RegularFileContents contents;
    std::string path;
    ProfileIndex index;  // when read
};

// What tells one state of a file on disk from another.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedSeconds = 0;
    long modifiedNanoseconds = 0;
    bool operator==(const FileStamp& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modifiedSeconds == other.modifiedSeconds && modifiedNanoseconds == other.modifiedNanoseconds;
    }
};

bool StampOf(const std::string& path, FileStamp* stamp) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    *stamp = {info.st_dev, info.st_ino, info.st_size, static_cast<long long>(info.st_mtim.tv_sec), info.st_mtim.tv_nsec};
    return true;
}

// The files read lately, by resolved path; a program reads two or three profile files.
constexpr size_t kCachedProfileFiles = 8;

struct CachedFile {
    FileStamp stamp;
    std::shared_ptr<const ProfileFile> file;
};

std::mutex cacheLock;
std::map<std::string, CachedFile> cache;

void Forget(const std::string& path) {
    std::lock_guard<std::mutex> guard(cacheLock);
    cache.erase(path);
}

std::shared_ptr<const ProfileFile> ReadProfileFile(LPCWSTR fileName) {
    auto file = std::make_shared<ProfileFile>();
    if (fileName == nullptr) {
        file->contents.status = platform::RegularFileContents::Status::Missing;
        return file;
    }
    file->path = platform::ResolvePath(std::wstring(fileName));
    FileStamp before;
    const bool stamped = StampOf(file->path, &before);
    if (stamped) {
        std::lock_guard<std::mutex> guard(cacheLock);
        auto found = cache.find(file->path);
        if (found != cache.end() && found->second.stamp == before) return found->second.file;
    }
    file->contents = platform::ReadRegularFile(file->path, kMaxProfileBytes);
    if (file->contents.status != platform::RegularFileContents::Status::Read) return file;
    file->index = IndexOf(platform::ProfileText(file->contents.bytes));
    // Kept only when nothing changed the file while it was read.
    FileStamp after;
    if (stamped && StampOf(file->path, &after) && after == before) {
        std::lock_guard<std::mutex> guard(cacheLock);
        if (cache.size() >= kCachedProfileFiles) cache.clear();
        cache[file->path] = CachedFile{before, file};
    }
    return file;
}

DWORD ReadError(const platform::RegularFileContents& contents) {
    using Status = platform::RegularFileContents::Status;
    switch (contents.status) {
        case Status::Read: return ERROR_SUCCESS;
        case Status::Missing: return ERROR_FILE_NOT_FOUND;
        case Status::NotRegular: return ERROR_ACCESS_DENIED;
        case Status::TooLarge: return ERROR_FILE_TOO_LARGE;
        case Status::Failed: break;
    }
    return platform::Win32ErrorFromErrno(contents.error, ERROR_READ_FAULT);
}

// One string: at most size - 1 characters and a terminator; the count copied is returned.
DWORD CopyString(const std::wstring& text, LPWSTR buffer, DWORD size) {
    size_t count = std::min<size_t>(text.size(), size - 1);
    std::copy_n(text.begin(), count, buffer);
    buffer[count] = L'\0';
    return static_cast<DWORD>(count);
}

// A list: each name followed by a terminator and one more after the last. When it does not
// fit, the last name that fits is cut and followed by two terminators, and size - 2 returned.
DWORD CopyList(const std::vector<std::wstring>& names, LPWSTR buffer, DWORD size) {
    std::wstring list;
    for (const std::wstring& name : names) list.append(name).push_back(L'\0');
    if (list.size() + 1 <= size) {
        std::copy(list.begin(), list.end(), buffer);
        buffer[list.size()] = L'\0';
        if (list.empty() && size >= 2) buffer[1] = L'\0';
        return static_cast<DWORD>(list.size());
    }
    if (size < 2) {
        buffer[0] = L'\0';
        return 0;
    }
    std::copy_n(list.begin(), size - 2, buffer);
    buffer[size - 2] = L'\0';
    buffer[size - 1] = L'\0';
    return size - 2;
}

}  // namespace

DWORD WINAPI GetPrivateProfileStringW(LPCWSTR appName, LPCWSTR keyName, LPCWSTR defaultValue, LPWSTR returnedString,
                                      DWORD size, LPCWSTR fileName) {
    if (returnedString == nullptr || size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::shared_ptr<const ProfileFile> file = ReadProfileFile(fileName);
    bool readable = file->contents.status == platform::RegularFileContents::Status::Read;
    SetLastError(ReadError(file->contents));

    if (appName == nullptr || keyName == nullptr) {
        platform::ProfileText text(file->contents.bytes);
        std::vector<std::wstring> names;
        if (readable && appName == nullptr) names = platform::ProfileSectionNames(text);
        if (readable && appName != nullptr) names = platform::ProfileKeyNames(text, WithoutSurroundingBlanks(appName));
        return CopyList(names, returnedString, size);
    }
    const std::wstring* value = nullptr;
    if (readable) {
        auto section = file->index.find(Folded(WithoutSurroundingBlanks(appName)));
        if (section != file->index.end()) {
            auto entry = section->second.find(Folded(WithoutSurroundingBlanks(keyName)));
            if (entry != section->second.end()) value = &entry->second;
        }
        if (value == nullptr) SetLastError(ERROR_FILE_NOT_FOUND);
    }
    // Windows cuts trailing blanks off the default, as it does off values in the file.
    return CopyString(value != nullptr ? WithoutQuotes(*value) : WithoutTrailingBlanks(defaultValue), returnedString, size);
}

BOOL WINAPI WritePrivateProfileStringW(LPCWSTR appName, LPCWSTR keyName, LPCWSTR string, LPCWSTR fileName) {
    // All three names null asks Windows to flush its cache, which answers FALSE; there is none here.
    if (appName == nullptr || fileName == nullptr) {
        bool flush = appName == nullptr && keyName == nullptr && string == nullptr;
        SetLastError(flush ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::wstring section = WithoutSurroundingBlanks(appName);
    std::wstring key = WithoutSurroundingBlanks(keyName);
    std::wstring value = string == nullptr ? L"" : string;
    if (!platform::IsStorableProfileSection(section) || (keyName != nullptr && !platform::IsStorableProfileKey(key)) ||
        !platform::IsStorableProfileValue(value)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }

    std::shared_ptr<const ProfileFile> read = ReadProfileFile(fileName);
    const ProfileFile& file = *read;
    using Status = platform::RegularFileContents::Status;
    if (file.contents.status != Status::Read && file.contents.status != Status::Missing) {
        SetLastError(ReadError(file.contents));
        return FALSE;
    }
    // Windows refuses to write into a read-only profile file, where a rename here would not.
    struct stat info;
    if (file.contents.status == Status::Read && stat(file.path.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const std::string& bytes = file.contents.bytes;
    std::string edited = keyName == nullptr  ? platform::DeleteProfileSection(bytes, section)
                         : string == nullptr ? platform::DeleteProfileKey(bytes, section, key)
                                             : platform::SetProfileValue(bytes, section, key, value);
    SetLastError(ERROR_SUCCESS);
    if (edited == bytes && (file.contents.status == Status::Read || edited.empty())) return TRUE;
    if (edited.size() > kMaxProfileBytes) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return FALSE;
    }
    Forget(file.path);
    int error = platform::ReplaceRegularFile(file.path, edited);
    if (error == 0) return TRUE;
    SetLastError(error == EINVAL ? ERROR_ACCESS_DENIED : platform::Win32ErrorFromErrno(error, ERROR_WRITE_FAULT));
    return FALSE;
}

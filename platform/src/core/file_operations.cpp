// GetFileAttributesW, SetFileAttributesW, CopyFileW, MoveFileExW and DeleteFileW on the file
// system here, with every path going through the one resolver, and the file handles that
// GetFinalPathNameByHandleW asks about. A file without write permission is what Windows calls
// read-only: it is neither deleted nor replaced, as there.
#include <windows.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "core/last_error.h"
#include "core/paths.h"
#include "core/text.h"

namespace fs = std::filesystem;

namespace {

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

BOOL Fail(const std::error_code& error) { return Fail(platform::Win32ErrorFromErrno(error.value(), ERROR_ACCESS_DENIED)); }

fs::path Resolved(LPCWSTR path) { return fs::path(platform::ResolvePath(std::wstring(path))); }

// What Windows answers for a path that names nothing: the file is missing when its folder is
// there, otherwise the path is (a missing folder, or a file standing where a folder should).
DWORD MissingError(const fs::path& path) {
    std::error_code error;
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    return fs::is_directory(folder, error) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

constexpr fs::perms kWritePermissions = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

bool IsReadOnly(const fs::file_status& status) {
    return fs::is_regular_file(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

// What CreateFileW hands out: a descriptor that only names the file.
struct FileHandle {
    int descriptor;
};

}  // namespace

DWORD WINAPI GetFileAttributesW(LPCWSTR fileName) {
    if (fileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_FILE_ATTRIBUTES;
    }
    std::error_code error;
    const fs::path path = Resolved(fileName);
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status)) {
        SetLastError(MissingError(path));
        return INVALID_FILE_ATTRIBUTES;
    }
    if (fs::is_directory(status)) return FILE_ATTRIBUTE_DIRECTORY;
    return IsReadOnly(status) ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
}

BOOL WINAPI SetFileAttributesW(LPCWSTR fileName, DWORD attributes) {
    if (fileName == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    const fs::path path = Resolved(fileName);
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status)) return Fail(MissingError(path));
    if (!fs::is_regular_file(status)) return TRUE;  // a folder's own permissions are left alone
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    fs::permissions(path, readOnly ? kWritePermissions : fs::perms::owner_write,
                    readOnly ? fs::perm_options::remove : fs::perm_options::add, error);
    if (error) return Fail(error);
    return TRUE;
}

BOOL WINAPI CopyFileW(LPCWSTR existingFileName, LPCWSTR newFileName, BOOL failIfExists) {
    if (existingFileName == nullptr || newFileName == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    const fs::path from = Resolved(existingFileName), to = Resolved(newFileName);
    std::error_code error;
    if (!fs::exists(from, error)) return Fail(MissingError(from));
    // Only files are copied; a folder, a pipe or a device is refused.
    if (!fs::is_regular_file(from, error)) return Fail(ERROR_ACCESS_DENIED);
    if (failIfExists && fs::exists(to, error)) return Fail(ERROR_FILE_EXISTS);
    // Windows replaces no read-only file; the copy takes the source's attributes, read-only too.
    if (IsReadOnly(fs::status(to, error))) return Fail(ERROR_ACCESS_DENIED);
    const fs::copy_options options = failIfExists ? fs::copy_options::none : fs::copy_options::overwrite_existing;
    if (!fs::copy_file(from, to, options, error)) return Fail(error);
    return TRUE;
}

BOOL WINAPI MoveFileExW(LPCWSTR existingFileName, LPCWSTR newFileName, DWORD flags) {
    if (existingFileName == nullptr || newFileName == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    const fs::path from = Resolved(existingFileName), to = Resolved(newFileName);
    std::error_code error;
    if (!fs::exists(from, error)) return Fail(MissingError(from));
    if (fs::exists(to, error)) {
        if (!(flags & MOVEFILE_REPLACE_EXISTING)) return Fail(ERROR_ALREADY_EXISTS);
        if (fs::is_directory(to, error) || IsReadOnly(fs::status(to, error))) return Fail(ERROR_ACCESS_DENIED);
    }
    // A rename within one file system replaces the target in one step.
    fs::rename(from, to, error);
    if (error) return Fail(error);
    return TRUE;
}

BOOL WINAPI DeleteFileW(LPCWSTR fileName) {
    if (fileName == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    const fs::path path = Resolved(fileName);
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (!fs::exists(status)) return Fail(MissingError(path));
    if (fs::is_directory(status) || IsReadOnly(status)) return Fail(ERROR_ACCESS_DENIED);
    if (!fs::remove(path, error)) return Fail(error);
    return TRUE;
}

HANDLE WINAPI CreateFileW(LPCWSTR fileName, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD creationDisposition,
                          DWORD, HANDLE) {
    if (fileName == nullptr) {
        Fail(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (creationDisposition != OPEN_EXISTING || (access & ~static_cast<DWORD>(GENERIC_READ)) != 0) {
        Fail(ERROR_NOT_SUPPORTED);
        return INVALID_HANDLE_VALUE;
    }
    const fs::path path = Resolved(fileName);
    // O_PATH opens without reading, so a FIFO or a device is named, never opened.
    const int descriptor = open(path.c_str(), (access == 0 ? O_PATH : O_RDONLY | O_NONBLOCK) | O_CLOEXEC);
    if (descriptor < 0) {
        const int cause = errno;
        Fail(cause == ENOENT || cause == ENOTDIR ? MissingError(path) : platform::Win32ErrorFromErrno(cause, ERROR_ACCESS_DENIED));
        return INVALID_HANDLE_VALUE;
    }
    return new FileHandle{descriptor};
}

DWORD WINAPI GetFinalPathNameByHandleW(HANDLE file, LPWSTR path, DWORD size, DWORD) {
    if (file == nullptr || file == INVALID_HANDLE_VALUE) {
        Fail(ERROR_INVALID_HANDLE);
        return 0;
    }
    std::error_code error;
    const fs::path link = "/proc/self/fd/" + std::to_string(static_cast<FileHandle*>(file)->descriptor);
    const fs::path target = fs::read_symlink(link, error);
    if (error) {
        Fail(error);
        return 0;
    }
    const std::wstring name = platform::WideFromUtf8(target.string());
    // As on Windows: the length without the terminator when it fits, else the size it needs.
    if (path == nullptr || name.size() + 1 > size) return static_cast<DWORD>(name.size() + 1);
    name.copy(path, name.size());
    path[name.size()] = L'\0';
    return static_cast<DWORD>(name.size());
}

BOOL WINAPI CloseHandle(HANDLE object) {
    if (object == nullptr || object == INVALID_HANDLE_VALUE) return Fail(ERROR_INVALID_HANDLE);
    auto* handle = static_cast<FileHandle*>(object);
    close(handle->descriptor);
    delete handle;
    return TRUE;
}

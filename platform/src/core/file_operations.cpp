// GetFileAttributesW, CopyFileW, MoveFileExW and DeleteFileW on the file system here, with
// every path going through the one resolver.
#include <windows.h>

#include <filesystem>
#include <system_error>

#include "core/last_error.h"
#include "core/paths.h"

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
    const bool writable = (status.permissions() & fs::perms::owner_write) != fs::perms::none;
    return writable ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
}

BOOL WINAPI CopyFileW(LPCWSTR existingFileName, LPCWSTR newFileName, BOOL failIfExists) {
    if (existingFileName == nullptr || newFileName == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    const fs::path from = Resolved(existingFileName), to = Resolved(newFileName);
    std::error_code error;
    if (!fs::exists(from, error)) return Fail(MissingError(from));
    // Only files are copied; a folder, a pipe or a device is refused.
    if (!fs::is_regular_file(from, error)) return Fail(ERROR_ACCESS_DENIED);
    if (failIfExists && fs::exists(to, error)) return Fail(ERROR_FILE_EXISTS);
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
        if (fs::is_directory(to, error)) return Fail(ERROR_ACCESS_DENIED);
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
    if (fs::is_directory(status)) return Fail(ERROR_ACCESS_DENIED);
    if (!fs::remove(path, error)) return Fail(error);
    return TRUE;
}

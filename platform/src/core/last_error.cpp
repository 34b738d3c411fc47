// GetLastError and SetLastError: one error code per thread, as on Windows.
#include "core/last_error.h"

#include <cerrno>

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

}  // namespace

DWORD WINAPI GetLastError(void) { return lastError; }

void WINAPI SetLastError(DWORD error) { lastError = error; }

namespace platform {

DWORD Win32ErrorFromErrno(int error, DWORD fallback) {
    switch (error) {
        case 0: return ERROR_SUCCESS;
        case ENOENT:
        case ENOTDIR: return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR: return ERROR_ACCESS_DENIED;  // what Windows answers for a folder opened as a file
        case ENOSPC:
        case EDQUOT: return ERROR_DISK_FULL;
        case EFBIG: return ERROR_FILE_TOO_LARGE;
        default: return fallback;
    }
}

}  // namespace platform

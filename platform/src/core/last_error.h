// The Win32 error code that a C library errno value stands for, for functions that report
// their failures through SetLastError.
#pragma once

#include <windows.h>

namespace platform {

// `fallback` is the code for errno values without a closer Win32 counterpart.
DWORD Win32ErrorFromErrno(int error, DWORD fallback);

}  // namespace platform

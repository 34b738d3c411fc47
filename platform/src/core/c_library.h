// What the platform's replacements of C library functions (clock, rand, srand) must repeat of
// the C library's own declarations: glibc declares them noexcept for C++ (__THROW), musl, the
// C library of the browser build, does not.
#pragma once

#if defined(__GLIBC__)
#define DEMO_C_LIBRARY_NOEXCEPT noexcept
#else
#define DEMO_C_LIBRARY_NOEXCEPT
#endif

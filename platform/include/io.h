// The C runtime's directory search, which Windows declares in <io.h>: _wfindfirst starts a
// search for a wildcard pattern ("..\Resource\MD2Model\yoshi\*.md2"), _wfindnext steps to the
// next match and _findclose ends the search.
//
// As on Windows, '*' matches any run of characters and '?' any one, without regard to case,
// so "*.md2" also finds "A.MD2". The file system here returns names in no particular order;
// the matches come sorted (by their lower-case spelling, then by their spelling) so that a
// program sees the same order on every run.
#pragma once

#include <cstdint>
#include <ctime>

typedef int64_t __time64_t;
typedef unsigned long _fsize_t;

// Attribute bits of a found entry.
#define _A_NORMAL 0x00
#define _A_RDONLY 0x01
#define _A_HIDDEN 0x02
#define _A_SYSTEM 0x04
#define _A_SUBDIR 0x10
#define _A_ARCH 0x20

// One found entry: the fields of Windows' _wfinddata_t (times in seconds since 1970).
struct _wfinddata_t {
    unsigned attrib;
    __time64_t time_create;
    __time64_t time_access;
    __time64_t time_write;
    _fsize_t size;
    wchar_t name[260];
};

// A search handle, or -1 with errno ENOENT when nothing matches (EINVAL for a null argument).
intptr_t _wfindfirst(const wchar_t* pattern, struct _wfinddata_t* found);
// 0 with the next match, or -1 with errno ENOENT when there is none (EINVAL for a bad handle).
int _wfindnext(intptr_t handle, struct _wfinddata_t* found);
// 0, or -1 with errno EINVAL for a handle that is not open.
int _findclose(intptr_t handle);

// The Windows C runtime's rand and srand. The demo programs never seed the generator and rely
// on the runtime's fixed sequence (41, 18467, 6334, ...), which differs from the C library's
// here, so the platform supplies the Windows generator itself:
//   state = state * 214013 + 2531011 (modulo 2^32), result = (state >> 16) & 0x7FFF.
//
// Like clock() in time.cpp, these definitions live in the platform library, which the linker
// searches before the C library, so a plain rand() from <cstdlib> in any program, subsystem or
// test that links the platform resolves here. They are hidden from the dynamic symbol table:
// otherwise the system's shared libraries (SDL, Mesa) would bind to them too and draw numbers
// from the programs' sequence, which on Windows belongs to the program's runtime alone.
#include "core/c_library.h"

#include <cstdint>
#include <cstdlib>

namespace {

// One generator for the whole process; a fresh process starts as if srand(1) had been called.
uint32_t randomState = 1;

}  // namespace

extern "C" __attribute__((visibility("hidden"))) int rand(void) DEMO_C_LIBRARY_NOEXCEPT {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFF);
}

extern "C" __attribute__((visibility("hidden"))) void srand(unsigned seed) DEMO_C_LIBRARY_NOEXCEPT {
    randomState = seed;
}

// Windows time: timeGetTime / GetTickCount in milliseconds from a monotonic clock, Sleep, and
// the C runtime's clock() with its Windows meaning. The runner's virtual clock replaces the
// real one for all three readings so that frames step by scripted amounts.
#include "core/c_library.h"

#include <host.h>
#include <windows.h>

#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>

namespace {

using Steady = std::chrono::steady_clock;

// Initialised before main runs, so clock() counts from (close to) the start of the process.
const Steady::time_point processStart = Steady::now();

std::mutex virtualClockMutex;
std::function<uint32_t()> virtualClock;

bool ReadVirtualClock(uint32_t* milliseconds) {
    std::function<uint32_t()> source;
    {
        std::lock_guard<std::mutex> lock(virtualClockMutex);
        source = virtualClock;
    }
    if (!source) return false;
    *milliseconds = source();
    return true;
}

uint64_t MillisecondsSince(Steady::time_point start) {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start).count());
}

// Milliseconds of the monotonic clock; truncating to a DWORD wraps every 49.7 days as on Windows.
DWORD MonotonicMilliseconds() {
    uint32_t virtualNow;
    if (ReadVirtualClock(&virtualNow)) return virtualNow;
    return static_cast<DWORD>(MillisecondsSince(Steady::time_point{}));
}

}  // namespace

DWORD WINAPI timeGetTime(void) { return MonotonicMilliseconds(); }

DWORD WINAPI GetTickCount(void) { return MonotonicMilliseconds(); }

void WINAPI Sleep(DWORD milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

// On Windows, clock() is the wall-clock time since the process started, in milliseconds
// (CLOCKS_PER_SEC is 1000 there, and <windows.h> here says so too), whereas the C library
// here counts processor time in microseconds. Defined in the platform library, which the
// linker searches before the C library, this clock replaces the C library's for every program
// and test that links the platform. It is hidden from the dynamic symbol table, so shared
// libraries (SDL, Mesa) keep the C library's clock and its meaning.
extern "C" __attribute__((visibility("hidden"))) clock_t clock(void) DEMO_C_LIBRARY_NOEXCEPT {
    uint32_t virtualNow;
    if (ReadVirtualClock(&virtualNow)) return static_cast<clock_t>(virtualNow);
    return static_cast<clock_t>(MillisecondsSince(processStart));
}

namespace host {

void SetVirtualClock(std::function<uint32_t()> milliseconds) {
    std::lock_guard<std::mutex> lock(virtualClockMutex);
    virtualClock = std::move(milliseconds);
}

}  // namespace host

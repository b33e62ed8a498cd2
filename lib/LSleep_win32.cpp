#include <windows.h>

#include "LSleep.h"

void LSleepReal(uint32_t milliseconds) {
    Sleep(milliseconds);
}

// The performance counter, not GetTickCount, which advances only at the timer tick
// (about 15.6 ms) and would make every timed wait that much coarser. The frequency
// is asked each time rather than kept in a guarded static: this clock also stands in
// for GetTickCount64 inside the thread library that such a guard is built on.
uint64_t LTickCountReal() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 ||
        !QueryPerformanceCounter(&now)) {
        return GetTickCount();
    }
    const auto perSecond = static_cast<uint64_t>(frequency.QuadPart);
    const auto ticks = static_cast<uint64_t>(now.QuadPart);
    return ticks / perSecond * 1000u + ticks % perSecond * 1000u / perSecond;
}

#include <windows.h>

#include "LSleep.h"

void LSleepReal(uint32_t milliseconds) {
    Sleep(milliseconds);
}

// The performance counter, not GetTickCount, which advances only at the timer tick
// (about 15.6 ms) and would make every timed wait that much coarser.
uint64_t LTickCountReal() {
    static const uint64_t frequency = [] {
        LARGE_INTEGER value;
        return QueryPerformanceFrequency(&value) && value.QuadPart > 0
                   ? static_cast<uint64_t>(value.QuadPart)
                   : 0;
    }();
    LARGE_INTEGER now;
    if (frequency == 0 || !QueryPerformanceCounter(&now)) {
        return GetTickCount();
    }
    uint64_t ticks = static_cast<uint64_t>(now.QuadPart);
    return ticks / frequency * 1000u + ticks % frequency * 1000u / frequency;
}

#include "LSleep.h"

#include <atomic>

namespace {
void SleepReal(uint32_t milliseconds, LWaitKind /*kind*/) {
    LSleepReal(milliseconds);
}

std::atomic<LSleepFunction> installedSleep{&SleepReal};
std::atomic<LClockFunction> installedClock{&LTickCountReal};
}  // namespace

void LSleep(uint32_t milliseconds, LWaitKind kind) {
    installedSleep.load()(milliseconds, kind);
}

LSleepFunction LSetSleepFunction(LSleepFunction function) {
    return installedSleep.exchange(function != nullptr ? function : &SleepReal);
}

uint64_t LTickCount() {
    return installedClock.load()();
}

LClockFunction LSetClockFunction(LClockFunction function) {
    return installedClock.exchange(function != nullptr ? function : &LTickCountReal);
}

#include "LSleep.h"

#include <atomic>

namespace {
std::atomic<LSleepFunction> installedSleep{&LSleepReal};
std::atomic<LClockFunction> installedClock{&LTickCountReal};
}  // namespace

void LSleep(uint32_t milliseconds) {
    installedSleep.load()(milliseconds);
}

LSleepFunction LSetSleepFunction(LSleepFunction function) {
    return installedSleep.exchange(function != nullptr ? function : &LSleepReal);
}

uint64_t LTickCount() {
    return installedClock.load()();
}

LClockFunction LSetClockFunction(LClockFunction function) {
    return installedClock.exchange(function != nullptr ? function : &LTickCountReal);
}

#include "LSleep.h"

#include <atomic>

namespace {
std::atomic<LSleepFunction> installed{&LSleepReal};
}

void LSleep(uint32_t milliseconds) {
    installed.load()(milliseconds);
}

LSleepFunction LSetSleepFunction(LSleepFunction function) {
    return installed.exchange(function != nullptr ? function : &LSleepReal);
}

#pragma once

#include <cstdint>

// What a wait is for, so that a test can tell the waits the program means from
// those whose number depends on how the scheduler runs another thread.
enum class LWaitKind : uint8_t {
    kFixed,      // a wait of a length the program means: a countdown step, a pause
    kPoll,       // the interval before asking again: a device, the keyboard, a held file
    kThreadEnd,  // one step of waiting until another thread has ended
};

// Every wait of the program goes through LSleep, and every timed wait measures
// against LTickCount, so that tests can put a virtual clock in place of real time.
void LSleep(uint32_t milliseconds, LWaitKind kind);

using LSleepFunction = void (*)(uint32_t milliseconds, LWaitKind kind);
// Replaces the sleep function (null restores real sleeping); returns the previous one.
LSleepFunction LSetSleepFunction(LSleepFunction function);

// Real sleeping, whatever function is installed.
void LSleepReal(uint32_t milliseconds);

// Milliseconds on a monotonic clock, from an arbitrary start.
uint64_t LTickCount();

using LClockFunction = uint64_t (*)();
// Replaces the clock (null restores the real one); returns the previous one.
LClockFunction LSetClockFunction(LClockFunction function);

// The real clock, whatever function is installed.
uint64_t LTickCountReal();

// Sleeps in steps of stepMs until `duration` ms have passed by the clock, or until
// stop() answers true, which is asked before every step; true when stop() ended the
// wait. A sleep may last longer than asked (Windows rounds it up to its timer
// tick), so the time is read from the clock rather than counted in steps.
template <typename Stop>
bool LSleepFor(uint32_t duration, uint32_t stepMs, Stop stop) {
    const uint64_t start = LTickCount();
    for (;;) {
        if (stop()) {
            return true;
        }
        if (LTickCount() - start >= duration) {
            return false;
        }
        LSleep(stepMs, LWaitKind::kPoll);
    }
}

#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "LSleep.h"

// Replaces every sleep and the clock of the program while it exists: a sleep returns
// at once and is recorded with the thread that slept and the virtual time it was
// asked at, so that waits and polls are checked without waiting for them. Each
// thread has a virtual time of its own, which its sleeps advance and the clock
// reads. A stretch above 1 makes every sleep last longer than asked, as Windows
// does with its 15.6 ms timer tick.
class VirtualClock {
public:
    struct Sleep {
        uint32_t thread;
        uint32_t milliseconds;
        LWaitKind kind;
        uint64_t at;  // virtual time of the sleeping thread when it asked, in ms
    };

    explicit VirtualClock(double stretch = 1.0);
    ~VirtualClock();
    VirtualClock(const VirtualClock&) = delete;
    VirtualClock& operator=(const VirtualClock&) = delete;

    std::vector<Sleep> Sleeps() const;
    // Sleeps of one thread, in order; all of them, or those of one kind.
    std::vector<uint32_t> SleepsOf(uint32_t thread,
                                   std::optional<LWaitKind> kind = std::nullopt) const;
    // Total virtual time slept by one thread, in ms.
    uint64_t ElapsedOf(uint32_t thread) const;
    std::size_t Count() const;

private:
    static void Record(uint32_t milliseconds, LWaitKind kind);
    static uint64_t Now();

    LSleepFunction previousSleep_;
    LClockFunction previousClock_;
};

#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "LSleep.h"

// Replaces every sleep of the program while it exists: a sleep returns at once and
// is recorded with the thread that slept and the virtual time it was asked at, so
// that waits and polls are checked without waiting for them.
class VirtualClock {
public:
    struct Sleep {
        uint32_t thread;
        uint32_t milliseconds;
        uint64_t at;  // virtual time of the sleeping thread when it asked
    };

    VirtualClock();
    ~VirtualClock();
    VirtualClock(const VirtualClock&) = delete;
    VirtualClock& operator=(const VirtualClock&) = delete;

    std::vector<Sleep> Sleeps() const;
    // Sleeps of one thread, in order.
    std::vector<uint32_t> SleepsOf(uint32_t thread) const;
    // Total virtual time slept by one thread.
    uint64_t ElapsedOf(uint32_t thread) const;
    std::size_t Count() const;

private:
    static void Record(uint32_t milliseconds);

    LSleepFunction previous_;
};

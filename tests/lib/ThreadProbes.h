#pragma once

#include <atomic>
#include <cstdint>

#include "LCriticalSection.h"
#include "LThread.h"

// What the thread tests see of the platform's own locks and threads, so that they
// show a wait or an end as the platform knows it rather than by sleeping.

// The platform's own try of the section's lock, let go again when got; false while
// another thread holds it.
bool TryLockNatively(LCriticalSection& section);

// Returns once a thread started suspended has come to its suspension. Wine crashes
// the process when such a thread is ended before that; Windows needs no wait.
void WaitUntilSuspended(LThreadHandle thread);

// Tells whether the thread that called Watch has ended, whether its body returned
// or it was ended from outside. It must outlive that thread.
class ThreadEndWatch {
public:
    ThreadEndWatch() = default;
    ~ThreadEndWatch();
    ThreadEndWatch(const ThreadEndWatch&) = delete;
    ThreadEndWatch& operator=(const ThreadEndWatch&) = delete;

    void Watch();
    // Looks for the end for at most `waitMs` ms.
    bool Ended(uint32_t waitMs) const;

private:
    std::atomic<bool> ended_{false};  // Linux
    void* handle_ = nullptr;          // Windows
};

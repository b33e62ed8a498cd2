#include <pthread.h>

#include "LSleep.h"
#include "ThreadProbes.h"

// The lock sits in the section's storage, after the object's vtable pointer.
bool TryLockNatively(LCriticalSection& section) {
    static_assert(sizeof(LCriticalSection) == 8 + 64, "the section's storage has moved");
    auto* mutex =
        reinterpret_cast<pthread_mutex_t*>(reinterpret_cast<unsigned char*>(&section) + 8);
    const bool got = pthread_mutex_trylock(mutex) == 0;
    if (got) {
        pthread_mutex_unlock(mutex);
    }
    return got;
}

// A thread started suspended is never created here.
void WaitUntilSuspended(LThreadHandle) {}

namespace {
// A thread's thread-local objects are destroyed as it ends, also when it is
// cancelled, and before a join of it returns.
struct EndMark {
    std::atomic<bool>* ended = nullptr;
    ~EndMark() {
        if (ended != nullptr) {
            ended->store(true);
        }
    }
};
thread_local EndMark endMark;
}  // namespace

ThreadEndWatch::~ThreadEndWatch() = default;

void ThreadEndWatch::Watch() {
    endMark.ended = &ended_;
}

bool ThreadEndWatch::Ended(uint32_t waitMs) const {
    return LSleepFor(waitMs, 1, [this] { return ended_.load(); });
}

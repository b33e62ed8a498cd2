#include "LCriticalSection.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "LSleep.h"
#include "ThreadProbes.h"

namespace {

TEST(LCriticalSection, IsRecursiveAndIgnoresTheWaitTime) {
    LCriticalSection section;
    LSyncObject& lock = section;
    EXPECT_EQ(lock.Lock(-1), 1);
    EXPECT_EQ(lock.Lock(0), 1);
    EXPECT_EQ(lock.Unlock(), 1);
    EXPECT_EQ(lock.Unlock(), 1);
}

TEST(LCriticalSection, SecondThreadWaitsUntilTheSectionIsFree) {
    LCriticalSection section;
    std::atomic<bool> asking{false};
    std::atomic<bool> released{false};
    bool gotItWhileHeld = true;
    int32_t locked = 0;
    bool enteredAfterRelease = false;
    section.Lock(-1);
    std::thread other([&] {
        gotItWhileHeld = TryLockNatively(section);
        asking = true;
        locked = section.Lock(0);  // a wait time of 0 still waits
        enteredAfterRelease = released;
        section.Unlock();
    });
    while (!asking) {
        LSleepReal(1);
    }
    released = true;
    section.Unlock();
    other.join();
    EXPECT_FALSE(gotItWhileHeld);
    EXPECT_EQ(locked, 1);
    EXPECT_TRUE(enteredAfterRelease);
    EXPECT_TRUE(TryLockNatively(section));  // and free once let go
}

}  // namespace

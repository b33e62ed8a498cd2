#include "LCriticalSection.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "LSleep.h"

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
    std::atomic<bool> trying{false};
    std::atomic<bool> entered{false};
    section.Lock(-1);
    std::thread other([&] {
        trying = true;
        section.Lock(0);  // a wait time of 0 still waits
        entered = true;
        section.Unlock();
    });
    // Only once the other thread is about to ask does its absence mean it waits.
    while (!trying) {
        LSleepReal(1);
    }
    LSleepReal(50);
    EXPECT_FALSE(entered);
    section.Unlock();
    other.join();
    EXPECT_TRUE(entered);
}

}  // namespace

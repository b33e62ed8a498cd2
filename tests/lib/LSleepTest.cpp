#include "LSleep.h"

#include <gtest/gtest.h>

#include "LThread.h"
#include "VirtualClock.h"

namespace {

// A timed wait ends when its time has passed by the clock, not after a count of
// steps: with sleeps that last 15.6 ms instead of 10, as on Windows' default timer,
// it still ends within one sleep of its time.
TEST(LSleepFor, EndsByTheClockWithinOneSleep) {
    struct Case {
        uint32_t duration;
        double stretch;
        std::size_t steps;
    };
    for (const Case& c : {Case{500, 1.0, 50}, Case{140, 1.0, 14}, Case{3000, 1.0, 300},
                          Case{500, 1.56, 33}, Case{140, 1.56, 9}, Case{3000, 1.56, 193}}) {
        SCOPED_TRACE(testing::Message() << c.duration << " ms, stretch " << c.stretch);
        VirtualClock clock(c.stretch);
        EXPECT_FALSE(LSleepFor(c.duration, 10, [] { return false; }));
        uint32_t self = LThreadCurrentId();
        EXPECT_EQ(clock.SleepsOf(self).size(), c.steps);
        EXPECT_GE(clock.ElapsedOf(self), c.duration);
        EXPECT_LT(clock.ElapsedOf(self), c.duration + 10 * c.stretch);
    }
}

TEST(LSleepFor, StopIsAskedBeforeEveryStep) {
    for (uint32_t duration : {500u, 0u}) {
        SCOPED_TRACE(duration);
        VirtualClock clock;
        int asked = 0;
        int stopAt = duration == 0 ? 1 : 4;
        EXPECT_TRUE(LSleepFor(duration, 10, [&] { return ++asked == stopAt; }));
        EXPECT_EQ(asked, stopAt);
        EXPECT_EQ(clock.Count(), static_cast<std::size_t>(stopAt - 1));
    }
}

}  // namespace

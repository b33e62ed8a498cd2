#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CFlashingThread.h"
#include "FakeUSBCDDLL.h"
#include "LSleep.h"
#include "VirtualClock.h"

namespace {

using Calls = std::vector<std::string>;

class IndicatorThreads : public testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
    void TearDown() override { LSetSleepFunction(nullptr); }
};

TEST_F(IndicatorThreads, FlashingThreadStoppedBeforeItsFirstStepTouchesNoLed) {
    CFlashingThread thread(3);
    thread.StopAndWait();
    thread.Start(false);
    while (thread.IsRunning()) {
        LSleepReal(1);
    }
    EXPECT_EQ(fake::Calls(), Calls{});
}

TEST_F(IndicatorThreads, FlashingThreadStoppedWhileOnSwitchesTheLedOff) {
    CFlashingThread thread(3);
    thread.Start(false);
    while (fake::Calls().empty()) {
        LSleepReal(1);
    }
    thread.StopAndWait();  // well inside the 500 ms on phase
    EXPECT_EQ(fake::Calls(), (Calls{"USBCDLEDON 3", "USBCDLEDOFF 3"}));
}

// Each phase lasts 500 ms by the clock, however long a 10 ms sleep really takes:
// exactly, when sleeps are precise, and within one sleep when each lasts 15.6 ms,
// as on Windows' default timer.
TEST_F(IndicatorThreads, FlashingPhasesLastHalfASecondByTheClock) {
    for (double stretch : {1.0, 1.56}) {
        SCOPED_TRACE(stretch);
        fake::Reset();
        VirtualClock clock(stretch);
        CFlashingThread thread(1);
        thread.Start(false);
        auto onCount = [] {
            Calls calls = fake::Calls();
            return std::count(calls.begin(), calls.end(), "USBCDLEDON 1");
        };
        while (onCount() < 4) {
            LSleepReal(1);
        }
        thread.StopAndWait();

        Calls calls = fake::Calls();
        std::vector<uint64_t> times = fake::CallTimes();
        ASSERT_GE(calls.size(), 8u);
        for (std::size_t i = 0; i < calls.size(); ++i) {
            ASSERT_EQ(calls[i], i % 2 == 0 ? "USBCDLEDON 1" : "USBCDLEDOFF 1") << i;
        }
        EXPECT_EQ(calls.back(), "USBCDLEDOFF 1");
        // The last switch came with the stop, not with the clock.
        for (std::size_t i = 1; i + 1 < times.size(); ++i) {
            uint64_t phase = times[i] - times[i - 1];
            EXPECT_GE(phase, 500u) << i;
            EXPECT_LT(phase, 500 + 10 * stretch) << i;
        }
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CFlashingThread.h"
#include "FakeUSBCDDLL.h"
#include "LSleep.h"

namespace {

using Calls = std::vector<std::string>;

// Sleeps return at once and join the fake's record, so that LED calls and waits
// form one timeline.
void NoteSleep(uint32_t milliseconds) {
    fake::Note("Sleep " + std::to_string(milliseconds));
}

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

TEST_F(IndicatorThreads, FlashingThreadAlternatesFiftyStepsOnAndOff) {
    LSetSleepFunction(&NoteSleep);
    CFlashingThread thread(1);
    thread.Start(false);
    auto onCount = [] {
        int count = 0;
        for (const auto& call : fake::Calls()) {
            count += call == "USBCDLEDON 1";
        }
        return count;
    };
    while (onCount() < 3) {
        LSleepReal(1);
    }
    thread.StopAndWait();
    Calls calls = fake::Calls();
    // The main thread's own 1 ms waits are not part of the LED's timeline.
    Calls timeline;
    for (const auto& call : calls) {
        if (call != "Sleep 1") {
            timeline.push_back(call);
        }
    }
    ASSERT_GE(timeline.size(), 204u);
    Calls cycle{"USBCDLEDON 1"};
    cycle.insert(cycle.end(), 50, "Sleep 10");
    cycle.push_back("USBCDLEDOFF 1");
    cycle.insert(cycle.end(), 50, "Sleep 10");
    for (std::size_t i = 0; i < 2 * cycle.size(); ++i) {
        ASSERT_EQ(timeline[i], cycle[i % cycle.size()]) << i;
    }
    // However the stop fell, the last LED call switched it off.
    std::string lastLed;
    for (const auto& call : timeline) {
        if (call.rfind("USBCDLED", 0) == 0) {
            lastLed = call;
        }
    }
    EXPECT_EQ(lastLed, "USBCDLEDOFF 1");
}

}  // namespace

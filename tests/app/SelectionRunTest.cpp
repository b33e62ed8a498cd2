#include "SelectionRun.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "LThread.h"
#include "StdOutCapture.h"
#include "VirtualClock.h"
#include "device/FakeUSBCDDLL.h"

namespace {

using Calls = std::vector<std::string>;

const char kWarning[] =
    "\r\n   There are no ways to determine the device status for sure.\r\nSo, it's possible "
    "that the device will not answer correctly and\r\nas a result the program will hang up. "
    "In this case, just press Ctrl + C.\r\nMoving statistic:\r\nInitial waiting: done.\r\n";

struct Outcome {
    std::string output;
    Calls calls;                  // library calls made by the run itself
    std::vector<uint32_t> waits;  // the main thread's own waits, not those for the spinner
};

// detach, when given, arranges for devices to leave the device list during the run.
Outcome Select(const std::vector<std::u16string>& arguments, const std::vector<int32_t>& banks,
               const std::function<void()>& detach = nullptr) {
    std::vector<const LChar*> argv{u"Kavro"};
    for (const auto& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    CDiscList discs(static_cast<int32_t>(argv.size()), argv.data());
    std::vector<int32_t> attached;  // internal numbers 10, 11.., one per bank
    for (std::size_t i = 0; i < banks.size(); ++i) {
        attached.push_back(static_cast<int32_t>(10 + i));
    }
    fake::SetDevices(static_cast<int32_t>(attached.size()), attached);
    CDeviceTable table;
    for (std::size_t i = 0; i < banks.size(); ++i) {
        table.FindOrInsert(banks[i]) = attached[i];
    }
    std::size_t before = fake::Calls().size();
    if (detach) {
        detach();
    }
    Outcome run;
    VirtualClock clock;
    StdOutCapture capture;
    RunSelection(discs, table);
    run.output = capture.Finish();
    Calls calls = fake::Calls();
    run.calls.assign(calls.begin() + static_cast<std::ptrdiff_t>(before), calls.end());
    for (const auto& sleep : clock.Sleeps()) {
        if (sleep.thread == LThreadCurrentId() && sleep.kind != LWaitKind::kThreadEnd) {
            run.waits.push_back(sleep.milliseconds);
        }
    }
    return run;
}

class SelectionRun : public testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
};

TEST_F(SelectionRun, EmptyListCountsDownOnceAndTouchesNoDevice) {
    Outcome run = Select({u"5-3"}, {1, 2});
    EXPECT_EQ(run.output, kWarning);
    EXPECT_EQ(run.calls, Calls{});
    EXPECT_EQ(run.waits, (std::vector<uint32_t>(5, 1000)));
}

TEST_F(SelectionRun, PollsMovesAndWaitsInOrderEvery50Ms) {
    fake::ScriptResults("USBCDGetStatus", {1, 1, 0, 0});
    fake::ScriptResults("USBCDMoveto", {1, 1, 1, 0});
    fake::ScriptResults("USBCDGetCDDown", {2, 0});
    Outcome run = Select({u"186"}, {1, 2});
    EXPECT_EQ(run.output, std::string(kWarning) +
                              "CD N186 (2:36) selecting: done. Waiting for 5 seconds: done.\r\n");
    // Bank 2 is internal number 11, slot 36; every first call is made at once.
    EXPECT_EQ(run.calls, (Calls{"USBCDGetStatus 11", "USBCDGetStatus 11", "USBCDGetStatus 11",
                                "USBCDMoveto 11 36", "USBCDMoveto 11 36", "USBCDMoveto 11 36",
                                "USBCDMoveto 11 36", "USBCDGetStatus 11", "USBCDGetCDDown 11",
                                "USBCDGetCDDown 11"}));
    std::vector<uint32_t> expected(5, 1000);
    expected.insert(expected.end(), 5, 50);  // two status polls, three repeated moves
    expected.insert(expected.end(), 5, 1000);
    expected.push_back(50);  // one disc-down poll
    expected.push_back(3000);
    EXPECT_EQ(run.waits, expected);
}

TEST_F(SelectionRun, DiscsComeInOrderAndTwiceWhenNamedTwice) {
    Outcome run = Select({u"150", u"151", u"150"}, {1, 2});
    EXPECT_EQ(run.output, std::string(kWarning) +
                              "CD N150 (1:150) selecting: done. Waiting for 5 seconds: done.\r\n"
                              "CD N151 (2:1) selecting: done. Waiting for 5 seconds: done.\r\n"
                              "CD N150 (1:150) selecting: done. Waiting for 5 seconds: done.\r\n");
    Calls moves;
    for (const auto& call : run.calls) {
        if (call.rfind("USBCDMoveto", 0) == 0) {
            moves.push_back(call);
        }
    }
    EXPECT_EQ(moves, (Calls{"USBCDMoveto 10 150", "USBCDMoveto 11 1", "USBCDMoveto 10 150"}));
    EXPECT_EQ(run.waits.size(), 5u + 3 * 6);  // each disc: a countdown and the pause
}

TEST_F(SelectionRun, DiscWithoutADeviceIsSkippedWithoutWaiting) {
    Outcome run = Select({u"400", u"25"}, {1, 2});
    EXPECT_EQ(run.output, std::string(kWarning) +
                              "CD N400 (3:100) skipped: no CD Library has the number 3.\r\n"
                              "CD N25 (1:25) selecting: done. Waiting for 5 seconds: done.\r\n");
    EXPECT_EQ(run.calls.front(), "USBCDGetStatus 10");
    EXPECT_EQ(run.waits.size(), 5u + 6);
}

// Unplugged before the run or during it, a device is never waited for again: its
// disc is given up with a message and the run goes on with the next one.
TEST_F(SelectionRun, DiscsOfADeviceThatIsNotAttachedAreGivenUp) {
    // Leaves only internal number 10 attached, as the library's callback tells.
    auto unplug = [] {
        fake::SetDevices(1, {10});
        CDeviceTable::EnumerationCallback(1);
    };
    auto unplugAfter = [unplug](const char* function, int n) {
        return [=] { fake::AfterCall(function, n, unplug); };
    };
    const std::string done = "done. Waiting for 5 seconds: done.\r\n";
    struct Case {
        const char* what;
        std::function<void()> detach;
        std::deque<int32_t> statuses;
        std::deque<int32_t> discDowns;
        std::string line;
    };
    const Case cases[] = {
        {"before the run",
         unplug,
         {},
         {},
         "CD N151 (2:1) skipped: CD Library number 2 is not connected.\r\n"},
        {"while it is awaited",
         unplugAfter("USBCDGetStatus", 3),
         {1, 1, 1, 1, 1, 1},
         {},
         "CD N151 (2:1) selecting: the CD Library was disconnected.\r\n"},
        {"while its disc comes down",
         unplugAfter("USBCDGetCDDown", 2),
         {},
         {1, 1, 1, 1},
         "CD N151 (2:1) selecting: " + done +
             "CD N151 (2:1): the CD Library was disconnected.\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake::Reset();
        fake::ScriptResults("USBCDGetStatus", c.statuses);
        fake::ScriptResults("USBCDGetCDDown", c.discDowns);
        Outcome run = Select({u"151", u"5"}, {1, 2}, c.detach);
        EXPECT_EQ(run.output, kWarning + c.line + "CD N5 (1:5) selecting: " + done);
        EXPECT_EQ(run.calls.back(), "USBCDGetCDDown 10");
    }
}

}  // namespace

#include "CDeviceTable.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "DeviceListCopy.h"
#include "FakeUSBCDDLL.h"

namespace {

using Calls = std::vector<std::string>;

class CDeviceTableTest : public testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
};

TEST_F(CDeviceTableTest, FirstTableStartsTheLibraryAndLastOneStopsIt) {
    fake::SetDevices(2, {7, 9});
    auto* first = new CDeviceTable;
    auto* second = new CDeviceTable;
    EXPECT_EQ(fake::Calls(), (Calls{"InitUSBCDLibrary", "GetDeviceNumber", "EnumDevice 0",
                                    "EnumDevice 1", "SetCDCallbackProc"}));
    EXPECT_EQ(fake::RegisteredCallback(), &CDeviceTable::EnumerationCallback);
    delete second;
    EXPECT_EQ(fake::Calls().size(), 5u);
    delete first;
    EXPECT_EQ(fake::Calls().back(), "CloseUSBCDLibrary");
    EXPECT_EQ(fake::Calls().size(), 6u);
}

TEST_F(CDeviceTableTest, EnumeratesEveryIndexInOrder) {
    fake::SetDevices(3, {4, 0, 12});
    CDeviceTable table;
    EXPECT_EQ(fake::Calls(), (Calls{"InitUSBCDLibrary", "GetDeviceNumber", "EnumDevice 0",
                                    "EnumDevice 1", "EnumDevice 2", "SetCDCallbackProc"}));
    EXPECT_EQ(DeviceListCopy(), (std::vector<int32_t>{4, 0, 12}));
    EXPECT_EQ(CDeviceTable::GetDeviceCount(), 3);
}

TEST_F(CDeviceTableTest, NoOrNegativeDeviceCountEnumeratesNothing) {
    for (int32_t count : {0, -1}) {
        fake::Reset();
        fake::SetDevices(count, {});
        CDeviceTable table;
        EXPECT_EQ(fake::Calls(),
                  (Calls{"InitUSBCDLibrary", "GetDeviceNumber", "SetCDCallbackProc"}));
        EXPECT_EQ(CDeviceTable::GetDeviceCount(), 0);
    }
}

TEST_F(CDeviceTableTest, CallbackRefillsTheListAndAnswersTheCount) {
    fake::SetDevices(2, {1, 2, 3});
    CDeviceTable table;
    USBCDCallback callback = fake::RegisteredCallback();
    ASSERT_NE(callback, nullptr);
    EXPECT_EQ(callback(3), 3);
    EXPECT_EQ(DeviceListCopy(), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(callback(0), 0);
    EXPECT_EQ(DeviceListCopy(), std::vector<int32_t>{});
}

TEST_F(CDeviceTableTest, RestartRefillsFromScratchAndStopKeepsTheList) {
    fake::SetDevices(2, {5, 6});
    { CDeviceTable table; }
    EXPECT_EQ(DeviceListCopy(), (std::vector<int32_t>{5, 6}));  // stopping leaves the list
    fake::Reset();
    fake::SetDevices(1, {8});
    CDeviceTable table;
    EXPECT_EQ(fake::Calls(),
              (Calls{"InitUSBCDLibrary", "GetDeviceNumber", "EnumDevice 0", "SetCDCallbackProc"}));
    EXPECT_EQ(DeviceListCopy(), std::vector<int32_t>{8});
}

TEST_F(CDeviceTableTest, BanksTranslateToInternalNumbersOrAnswerFour) {
    fake::SetDevices(0, {});
    CDeviceTable table;
    std::size_t before = fake::Calls().size();
    EXPECT_EQ(table.GetStatus(5), 4);
    EXPECT_EQ(table.MoveTo(5, 17), 4);
    EXPECT_EQ(table.GetCDDown(5), 4);
    EXPECT_EQ(fake::Calls().size(), before);  // the library was not asked

    table.FindOrInsert(5) = 9;
    table.FindOrInsert(5) = 2;  // set last wins
    fake::ScriptResults("USBCDMoveto", {1, 0});
    fake::ScriptResults("USBCDGetStatus", {3});
    fake::ScriptResults("USBCDGetCDDown", {7});
    EXPECT_EQ(table.MoveTo(5, 17), 1);
    EXPECT_EQ(table.MoveTo(5, 17), 0);
    EXPECT_EQ(table.GetStatus(5), 3);
    EXPECT_EQ(table.GetCDDown(5), 7);
    Calls calls = fake::Calls();
    EXPECT_EQ(
        Calls(calls.begin() + static_cast<std::ptrdiff_t>(before), calls.end()),
        (Calls{"USBCDMoveto 2 17", "USBCDMoveto 2 17", "USBCDGetStatus 2", "USBCDGetCDDown 2"}));
}

// A device plugged in while the main thread reads the list: every copy the reader
// gets is one whole enumeration, never a mix or a half-emptied list.
TEST_F(CDeviceTableTest, ReadersSeeWholeEnumerationsWhileTheCallbackRuns) {
    fake::SetDevices(2, {10, 11, 12, 13, 14});
    CDeviceTable table;
    USBCDCallback callback = fake::RegisteredCallback();
    std::atomic<bool> done{false};
    std::thread library([&] {
        for (int i = 0; !done; ++i) {
            callback(i % 2 == 0 ? 5 : 2);
        }
    });
    const std::vector<int32_t> small{10, 11};
    const std::vector<int32_t> large{10, 11, 12, 13, 14};
    for (int i = 0; i < 2000; ++i) {
        std::vector<int32_t> seen = DeviceListCopy();
        ASSERT_TRUE(seen == small || seen == large) << "a list of " << seen.size();
    }
    done = true;
    library.join();
}

}  // namespace

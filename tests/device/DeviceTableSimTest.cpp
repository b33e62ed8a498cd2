// The device table against the built simulator: devices plugged in and out by the
// simulator's own thread while the main thread keeps reading the device list.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <vector>

#include "CDeviceTable.h"
#include "device/DeviceListCopy.h"
#include "sim/SimTestFiles.h"

namespace {

TEST(DeviceTableWithSimulator, HotPlugWhileTheMainThreadReadsTheList) {
    const std::filesystem::path ini = TestProgramFolder() / "USBCDSIM.ini";
    WriteWholeFile(ini, "devices = 0,1\nattach = 20:5, 40:6, 60:7\ndetach = 80:0\n");
    const std::vector<std::vector<int32_t>> stages = {
        {0, 1}, {0, 1, 5}, {0, 1, 5, 6}, {0, 1, 5, 6, 7}, {1, 5, 6, 7}};
    std::set<std::size_t> seen;
    {
        CDeviceTable table;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (seen.count(stages.size() - 1) == 0 && std::chrono::steady_clock::now() < giveUp) {
            std::vector<int32_t> list = DeviceListCopy();
            std::size_t stage = 0;
            while (stage < stages.size() && stages[stage] != list) {
                ++stage;
            }
            ASSERT_LT(stage, stages.size()) << "a list of " << list.size() << " devices";
            ASSERT_TRUE(seen.empty() || stage >= *seen.rbegin()) << "the list went back";
            seen.insert(stage);
        }
    }
    std::filesystem::remove(ini);
    EXPECT_EQ(seen.count(0), 1u);
    EXPECT_EQ(seen.count(stages.size() - 1), 1u);
}

}  // namespace

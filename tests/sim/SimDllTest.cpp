// Drives the built library (USBCDDLL.dll or libUSBCDDLL.so, beside this program)
// through the functions the program imports, with real time.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <regex>
#include <sstream>
#include <thread>

#include "SimTestFiles.h"
#include "USBCDDLL.h"

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<int32_t> g_count{-1};
std::atomic<int32_t> g_lastDevice{-1};

int32_t USBCD_CALL OnDevicesChanged(int32_t count) {
    g_lastDevice = EnumDevice(count - 1);
    g_count = count;
    return 7;
}

// Guards against a hang only; no test asserts an upper bound on time.
template <typename Condition>
bool WaitFor(Condition condition) {
    const auto giveUp = Clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (Clock::now() > giveUp) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

struct TraceLine {
    int64_t ms;
    std::string call;  // the rest of the line
};

std::vector<TraceLine> ParseTrace(const std::string& text) {
    static const std::regex kLine(R"(^(\d+) ([A-Za-z]+( -?\d+)* -> -?\d+)$)");
    std::vector<TraceLine> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        std::smatch match;
        EXPECT_TRUE(std::regex_match(line, match, kLine)) << "line: " << line;
        if (!match.empty()) {
            lines.push_back({std::stoll(match[1]), match[2]});
        }
    }
    return lines;
}

// Puts the test's settings beside the library, and puts back whatever was there.
class SimDllTest : public testing::Test {
protected:
    SimDllTest() : folder_(TestProgramFolder()), ini_(folder_ / "USBCDSIM.ini") {
        hadIni_ = std::filesystem::exists(ini_);
        if (hadIni_) {
            savedIni_ = ReadWholeFile(ini_);
        }
        g_count = -1;
        g_lastDevice = -1;
    }

    ~SimDllTest() override {
        CloseUSBCDLibrary();
        std::error_code ignored;
        std::filesystem::remove(folder_ / kTrace, ignored);
        if (hadIni_) {
            WriteWholeFile(ini_, savedIni_);
        } else {
            std::filesystem::remove(ini_, ignored);
        }
    }

    static constexpr const char* kTrace = "sim_dll_tests.trace";
    const std::filesystem::path folder_;
    const std::filesystem::path ini_;
    bool hadIni_ = false;
    std::string savedIni_;
};

TEST_F(SimDllTest, ARunThroughTheExportedFunctions) {
    WriteWholeFile(ini_,
                   "; written by sim_dll_tests\n"
                   "devices = 3, 8\n"
                   "move_ms = 40\n"
                   "cd_down_ms = 30\n"
                   "reject_moves = 1\n"
                   "attach = 30:12\n"
                   "trace = sim_dll_tests.trace\n");
    ASSERT_EQ(InitUSBCDLibrary(), 0);
    EXPECT_EQ(GetDeviceNumber(), 2);
    EXPECT_EQ(EnumDevice(0), 3);
    EXPECT_EQ(EnumDevice(1), 8);
    EXPECT_EQ(EnumDevice(2), -1);
    EXPECT_EQ(SetCDCallbackProc(OnDevicesChanged), 0);

    ASSERT_TRUE(WaitFor(
        [&] { return ReadWholeFile(folder_ / kTrace).find("callback") != std::string::npos; }));
    EXPECT_EQ(g_count, 3);
    EXPECT_EQ(g_lastDevice, 12);
    EXPECT_EQ(GetDeviceNumber(), 3);

    EXPECT_EQ(USBCDMoveto(8, 36), 1);  // the first request of each move is refused
    const auto asked = Clock::now();
    EXPECT_EQ(USBCDMoveto(8, 36), 0);
    ASSERT_TRUE(WaitFor([] { return USBCDGetStatus(8) == 0; }));
    const auto ready = Clock::now();
    ASSERT_TRUE(WaitFor([] { return USBCDGetCDDown(8) == 0; }));
    const auto down = Clock::now();
    // Whole milliseconds on both sides: at most one is lost.
    EXPECT_GE(ready - asked, std::chrono::milliseconds(39));
    EXPECT_GE(down - asked, std::chrono::milliseconds(69));

    EXPECT_EQ(USBCDMoveto(12, 151), 2);
    EXPECT_EQ(USBCDMoveto(99, 1), 3);
    EXPECT_EQ(USBCDLEDON(3), 0);
    EXPECT_EQ(USBCDLEDOFF(3), 0);
    EXPECT_EQ(USBCDReset(3), 0);
    EXPECT_EQ(CloseUSBCDLibrary(), 0);

    std::vector<TraceLine> lines = ParseTrace(ReadWholeFile(folder_ / kTrace));
    std::vector<std::string> calls;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            EXPECT_GE(lines[i].ms, lines[i - 1].ms) << lines[i].call;
        }
        // How often a device was found busy depends on the machine's speed.
        if (lines[i].call != "USBCDGetStatus 8 -> 1" && lines[i].call != "USBCDGetCDDown 8 -> 1") {
            calls.push_back(lines[i].call);
        }
    }
    EXPECT_EQ(calls,
              (std::vector<std::string>{
                  "InitUSBCDLibrary -> 0",  "GetDeviceNumber -> 2",    "EnumDevice 0 -> 3",
                  "EnumDevice 1 -> 8",      "EnumDevice 2 -> -1",      "SetCDCallbackProc -> 0",
                  "EnumDevice 2 -> 12",     "callback 3 -> 7",         "GetDeviceNumber -> 3",
                  "USBCDMoveto 8 36 -> 1",  "USBCDMoveto 8 36 -> 0",   "USBCDGetStatus 8 -> 0",
                  "USBCDGetCDDown 8 -> 0",  "USBCDMoveto 12 151 -> 2", "USBCDMoveto 99 1 -> 3",
                  "USBCDLEDON 3 -> 0",      "USBCDLEDOFF 3 -> 0",      "USBCDReset 3 -> 0",
                  "CloseUSBCDLibrary -> 0",
              }));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].ms, 0);
    for (const TraceLine& line : lines) {
        if (line.call == "callback 3 -> 7") {
            EXPECT_GE(line.ms, 30);
        }
    }
}

TEST_F(SimDllTest, WithoutASettingsFileTwoDevicesAreAttached) {
    std::error_code ignored;
    std::filesystem::remove(ini_, ignored);
    ASSERT_EQ(InitUSBCDLibrary(), 0);
    EXPECT_EQ(GetDeviceNumber(), 2);
    EXPECT_EQ(EnumDevice(0), 0);
    EXPECT_EQ(EnumDevice(1), 1);
    EXPECT_EQ(USBCDMoveto(1, 150), 0);
    EXPECT_EQ(USBCDGetStatus(1), 1);  // busy for 1500 ms
    EXPECT_EQ(CloseUSBCDLibrary(), 0);
    EXPECT_EQ(GetDeviceNumber(), 0);
}

}  // namespace

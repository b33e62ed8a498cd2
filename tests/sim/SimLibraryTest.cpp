#include "SimLibrary.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <random>

#include "SimTestFiles.h"

namespace {

// What the registered callback saw at one call.
struct CallbackCall {
    int32_t count;
    std::vector<int32_t> devices;  // enumerated from inside the callback
    std::thread::id thread;
    int32_t initResult;  // of the lifecycle calls tried from inside, when asked for
    int32_t closeResult;
};

// The callback is a plain function, so what it reaches lives here.
std::mutex g_mutex;
SimLibrary* g_library = nullptr;
std::vector<CallbackCall> g_calls;
bool g_tryLifecycle = false;

int32_t USBCD_CALL RecordingCallback(int32_t count) {
    CallbackCall call{count, {}, std::this_thread::get_id(), -1, -1};
    for (int32_t i = 0; i < count; ++i) {
        call.devices.push_back(g_library->EnumDevice(i));
    }
    if (g_tryLifecycle) {
        call.initResult = g_library->InitUSBCDLibrary();
        call.closeResult = g_library->CloseUSBCDLibrary();
    }
    std::lock_guard<std::mutex> lock(g_mutex);
    g_calls.push_back(call);
    return 10 + count;
}

std::size_t CallCount() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_calls.size();
}

// Guards against a hang only; nothing here measures how long anything took.
bool WaitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 10000; ++i) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return condition();
}

class SimLibraryTest : public testing::Test {
protected:
    SimLibraryTest()
        : folder_(std::filesystem::temp_directory_path() /
                  ("kavro_sim_" + std::to_string(std::random_device{}()))) {
        std::filesystem::create_directories(folder_);
        library_ = std::make_unique<SimLibrary>(
            folder_, [this] { return std::chrono::nanoseconds(nowNs_.load()); },
            [this](const std::string& problem) { reports_.push_back(problem); });
        std::lock_guard<std::mutex> lock(g_mutex);
        g_library = library_.get();
        g_calls.clear();
        g_tryLifecycle = false;
    }

    ~SimLibraryTest() override {
        library_.reset();
        g_library = nullptr;
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    void Configure(const std::string& text) { WriteWholeFile(folder_ / "USBCDSIM.ini", text); }
    std::string Trace(const char* name = "calls.trace") { return ReadWholeFile(folder_ / name); }
    // Sets the clock; the library only ever sees differences from its start.
    void At(double ms) { nowNs_ = kEpochNs + static_cast<int64_t>(ms * 1e6); }

    static constexpr int64_t kEpochNs = 5'000'700'000;  // 5000.7 ms
    const std::filesystem::path folder_;
    std::atomic<int64_t> nowNs_{kEpochNs};
    std::vector<std::string> reports_;
    std::unique_ptr<SimLibrary> library_;
};

TEST_F(SimLibraryTest, TracesEveryCallAsOneLine) {
    Configure("devices = 4, 9\nmove_ms = 100\ncd_down_ms = 20\ntrace = calls.trace\n");
    WriteWholeFile(folder_ / "calls.trace", "left from an earlier run\n");
    SimLibrary& lib = *library_;

    At(0);
    EXPECT_EQ(lib.InitUSBCDLibrary(), 0);
    At(0.9);
    EXPECT_EQ(lib.GetDeviceNumber(), 2);
    EXPECT_EQ(lib.EnumDevice(0), 4);
    EXPECT_EQ(lib.EnumDevice(1), 9);
    EXPECT_EQ(lib.EnumDevice(2), -1);
    EXPECT_EQ(lib.SetCDCallbackProc(RecordingCallback), 0);
    At(12.9);
    EXPECT_EQ(lib.USBCDMoveto(9, 36), 0);
    EXPECT_EQ(lib.USBCDGetStatus(9), 1);
    At(113);
    EXPECT_EQ(lib.USBCDGetStatus(9), 0);
    EXPECT_EQ(lib.USBCDGetCDDown(9), 1);
    At(1500);
    EXPECT_EQ(lib.USBCDGetCDDown(9), 0);
    EXPECT_EQ(lib.USBCDReset(4), 0);
    EXPECT_EQ(lib.USBCDLEDON(4), 0);
    EXPECT_EQ(lib.USBCDLEDOFF(4), 0);
    EXPECT_EQ(lib.USBCDMoveto(7, 1), 3);
    EXPECT_EQ(lib.USBCDMoveto(4, 151), 2);
    At(2000.5);
    EXPECT_EQ(lib.CloseUSBCDLibrary(), 0);
    EXPECT_EQ(lib.GetDeviceNumber(), 0);  // stopped: not traced

    EXPECT_EQ(Trace(),
              "0 InitUSBCDLibrary -> 0\n"
              "0 GetDeviceNumber -> 2\n"
              "0 EnumDevice 0 -> 4\n"
              "0 EnumDevice 1 -> 9\n"
              "0 EnumDevice 2 -> -1\n"
              "0 SetCDCallbackProc -> 0\n"
              "12 USBCDMoveto 9 36 -> 0\n"
              "12 USBCDGetStatus 9 -> 1\n"
              "113 USBCDGetStatus 9 -> 0\n"
              "113 USBCDGetCDDown 9 -> 1\n"
              "1500 USBCDGetCDDown 9 -> 0\n"
              "1500 USBCDReset 4 -> 0\n"
              "1500 USBCDLEDON 4 -> 0\n"
              "1500 USBCDLEDOFF 4 -> 0\n"
              "1500 USBCDMoveto 7 1 -> 3\n"
              "1500 USBCDMoveto 4 151 -> 2\n"
              "2000 CloseUSBCDLibrary -> 0\n");
    EXPECT_TRUE(reports_.empty());
}

TEST_F(SimLibraryTest, AStoppedLibraryAnswersWithoutTracing) {
    Configure("devices = 4\ntrace = calls.trace\n");
    SimLibrary& lib = *library_;
    auto expectStopped = [&] {
        EXPECT_EQ(lib.GetDeviceNumber(), 0);
        EXPECT_EQ(lib.EnumDevice(0), -1);
        EXPECT_EQ(lib.SetCDCallbackProc(RecordingCallback), 1);
        EXPECT_EQ(lib.USBCDMoveto(4, 1), 3);
        EXPECT_EQ(lib.USBCDGetStatus(4), 3);
        EXPECT_EQ(lib.USBCDGetCDDown(4), 3);
        EXPECT_EQ(lib.USBCDReset(4), 3);
        EXPECT_EQ(lib.USBCDLEDON(4), 3);
        EXPECT_EQ(lib.USBCDLEDOFF(4), 3);
        EXPECT_EQ(lib.CloseUSBCDLibrary(), 0);
    };
    expectStopped();
    EXPECT_FALSE(std::filesystem::exists(folder_ / "calls.trace"));

    lib.InitUSBCDLibrary();
    EXPECT_EQ(lib.GetDeviceNumber(), 1);
    lib.CloseUSBCDLibrary();
    expectStopped();
    EXPECT_EQ(Trace(),
              "0 InitUSBCDLibrary -> 0\n0 GetDeviceNumber -> 1\n0 CloseUSBCDLibrary -> 0\n");
}

TEST_F(SimLibraryTest, WithoutASettingsFileTheDefaultsApply) {
    SimLibrary& lib = *library_;
    At(0);
    lib.InitUSBCDLibrary();
    EXPECT_EQ(lib.GetDeviceNumber(), 2);
    EXPECT_EQ(lib.EnumDevice(0), 0);
    EXPECT_EQ(lib.EnumDevice(1), 1);
    EXPECT_EQ(lib.USBCDGetStatus(0), 0);
    EXPECT_EQ(lib.USBCDMoveto(0, 5), 0);
    At(1499);
    EXPECT_EQ(lib.USBCDGetStatus(0), 1);
    At(1500);
    EXPECT_EQ(lib.USBCDGetStatus(0), 0);
    At(2499);
    EXPECT_EQ(lib.USBCDGetCDDown(0), 1);
    At(2500);
    EXPECT_EQ(lib.USBCDGetCDDown(0), 0);
    EXPECT_TRUE(reports_.empty());
    EXPECT_TRUE(std::filesystem::is_empty(folder_));  // no trace without the key
}

TEST_F(SimLibraryTest, UnreadableLinesAreReportedOncePerStart) {
    Configure("speed = 3\nmove_ms = 20\nmove_ms = soon\n");
    library_->InitUSBCDLibrary();
    ASSERT_EQ(reports_.size(), 2u);
    EXPECT_EQ(reports_[0], "USBCDSIM.ini line 1: cannot read \"speed = 3\"");
    EXPECT_EQ(reports_[1], "USBCDSIM.ini line 3: cannot read \"move_ms = soon\"");
    EXPECT_EQ(library_->USBCDMoveto(0, 1), 0);  // the good line holds
    At(20);
    EXPECT_EQ(library_->USBCDGetStatus(0), 0);
    EXPECT_EQ(reports_.size(), 2u);
}

TEST_F(SimLibraryTest, HotPlugEventsCallTheCallbackFromTheLibrarysThread) {
    Configure(
        "devices = 0\n"
        "attach = 20:5, 30:0\n"  // 0 is attached already: no event
        "detach = 40:0, 45:8\n"  // 8 is not attached: no event
        "trace = calls.trace\n");
    SimLibrary& lib = *library_;
    At(0);
    lib.InitUSBCDLibrary();
    lib.SetCDCallbackProc(RecordingCallback);
    EXPECT_EQ(lib.GetDeviceNumber(), 1);

    At(20);
    ASSERT_TRUE(WaitFor([&] { return Trace().find("callback") != std::string::npos; }));
    At(50);
    ASSERT_TRUE(WaitFor([&] { return Trace().find("callback 1") != std::string::npos; }));
    EXPECT_EQ(lib.GetDeviceNumber(), 1);
    EXPECT_EQ(lib.EnumDevice(0), 5);
    EXPECT_EQ(lib.USBCDGetStatus(0), 3);
    lib.CloseUSBCDLibrary();

    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[0].count, 2);
    EXPECT_EQ(g_calls[0].devices, (std::vector<int32_t>{0, 5}));
    EXPECT_EQ(g_calls[1].count, 1);
    EXPECT_EQ(g_calls[1].devices, (std::vector<int32_t>{5}));
    EXPECT_NE(g_calls[0].thread, std::this_thread::get_id());
    EXPECT_EQ(Trace(),
              "0 InitUSBCDLibrary -> 0\n"
              "0 SetCDCallbackProc -> 0\n"
              "0 GetDeviceNumber -> 1\n"
              "20 EnumDevice 0 -> 0\n"
              "20 EnumDevice 1 -> 5\n"
              "20 callback 2 -> 12\n"
              "50 EnumDevice 0 -> 5\n"
              "50 callback 1 -> 11\n"
              "50 GetDeviceNumber -> 1\n"
              "50 EnumDevice 0 -> 5\n"
              "50 USBCDGetStatus 0 -> 3\n"
              "50 CloseUSBCDLibrary -> 0\n");
}

TEST_F(SimLibraryTest, EventsChangeTheListEvenWithoutACallback) {
    Configure("devices = 0\nattach = 10:3\n");
    At(0);
    library_->InitUSBCDLibrary();
    At(10);
    ASSERT_TRUE(WaitFor([&] { return library_->GetDeviceNumber() == 2; }));
    EXPECT_EQ(library_->EnumDevice(1), 3);
}

TEST_F(SimLibraryTest, CloseStopsTheEventsAndForgetsTheCallback) {
    Configure("devices = 0\nattach = 30:5\n");
    At(0);
    library_->InitUSBCDLibrary();
    library_->SetCDCallbackProc(RecordingCallback);
    EXPECT_EQ(library_->CloseUSBCDLibrary(), 0);
    At(100);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(CallCount(), 0u);

    // Started again, the callback of the earlier start is gone.
    library_->InitUSBCDLibrary();
    At(200);
    ASSERT_TRUE(WaitFor([&] { return library_->GetDeviceNumber() == 2; }));
    library_->CloseUSBCDLibrary();  // waits for the event thread
    EXPECT_EQ(CallCount(), 0u);
}

TEST_F(SimLibraryTest, StartingAgainRereadsTheSettingsAndTruncatesTheTrace) {
    Configure("devices = 1\ntrace = calls.trace\n");
    At(0);
    library_->InitUSBCDLibrary();
    library_->GetDeviceNumber();
    Configure("devices = 3, 4\nmove_ms = 10\ntrace = calls.trace\n");
    At(7);
    library_->InitUSBCDLibrary();
    At(8);
    EXPECT_EQ(library_->GetDeviceNumber(), 2);
    EXPECT_EQ(library_->USBCDMoveto(3, 1), 0);
    At(18);
    EXPECT_EQ(library_->USBCDGetStatus(3), 0);
    EXPECT_EQ(Trace(),
              "0 InitUSBCDLibrary -> 0\n"
              "1 GetDeviceNumber -> 2\n"
              "1 USBCDMoveto 3 1 -> 0\n"
              "11 USBCDGetStatus 3 -> 0\n");
}

TEST_F(SimLibraryTest, LifecycleCallsFromInsideTheCallbackAreRefused) {
    Configure("devices = 0\nattach = 5:1\ntrace = calls.trace\n");
    g_tryLifecycle = true;
    At(0);
    library_->InitUSBCDLibrary();
    library_->SetCDCallbackProc(RecordingCallback);
    At(5);
    ASSERT_TRUE(WaitFor([] { return CallCount() == 1; }));
    EXPECT_EQ(g_calls[0].initResult, 1);
    EXPECT_EQ(g_calls[0].closeResult, 1);
    EXPECT_EQ(library_->GetDeviceNumber(), 2);  // still started
    EXPECT_EQ(library_->CloseUSBCDLibrary(), 0);
    std::string trace = Trace();
    EXPECT_EQ(trace.rfind("5 CloseUSBCDLibrary -> 0\n"), trace.size() - 25);
}

TEST_F(SimLibraryTest, AnUnwritableTraceIsReported) {
    Configure("trace = missing folder/calls.trace\n");
    EXPECT_EQ(library_->InitUSBCDLibrary(), 0);
    ASSERT_EQ(reports_.size(), 1u);
    EXPECT_NE(reports_[0].find("calls.trace"), std::string::npos) << reports_[0];
    EXPECT_EQ(library_->GetDeviceNumber(), 2);
}

}  // namespace

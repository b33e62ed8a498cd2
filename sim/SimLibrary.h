#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "SimConfig.h"
#include "SimDevices.h"
#include "USBCDDLL.h"

// The simulated vendor library behind the exported functions: it reads its settings
// at InitUSBCDLibrary, answers for the simulated devices, writes the trace and runs
// the hot-plug events on a thread of its own.
//
// Choices made here, where the vendor library's behaviour is not known:
// - Before InitUSBCDLibrary and after CloseUSBCDLibrary the library is stopped:
//   GetDeviceNumber answers 0, EnumDevice -1, the device functions 3,
//   SetCDCallbackProc 1 (the callback is not kept), CloseUSBCDLibrary 0, and
//   nothing is traced (without a start there is no trace file).
// - InitUSBCDLibrary while started starts afresh: the event thread is stopped, the
//   callback forgotten, the settings read again and the trace file truncated.
// - CloseUSBCDLibrary stops the event thread, waits for it and forgets the callback;
//   pending events are dropped.
// - The callback is called without any lock of the library held, so it may call
//   the library (the program enumerates from inside it). InitUSBCDLibrary and
//   CloseUSBCDLibrary called from inside the callback answer 1 and do nothing, as
//   they would have to wait for the very thread that calls them.
// - An event fires only when it changes the device list, and the callback is
//   called only when one is registered; events due at the same time fire in the
//   order attach before detach, each key's list in its own order.
// - The time of a trace line is taken when the line is written, under the trace
//   lock, so the file is in time order; a callback's line is written when the
//   callback has returned, after the lines of the calls it made.
class SimLibrary {
public:
    // A monotonic clock, any epoch.
    using Clock = std::function<std::chrono::nanoseconds()>;
    // Receives each problem of the settings file, once per start.
    using Report = std::function<void(const std::string&)>;

    static constexpr const char* kConfigName = "USBCDSIM.ini";

    SimLibrary(std::filesystem::path folder, Clock clock, Report report);
    ~SimLibrary();
    SimLibrary(const SimLibrary&) = delete;
    SimLibrary& operator=(const SimLibrary&) = delete;

    int32_t InitUSBCDLibrary();
    int32_t GetDeviceNumber();
    int32_t EnumDevice(int32_t index);
    int32_t SetCDCallbackProc(USBCDCallback callback);
    int32_t USBCDMoveto(int32_t device, int32_t slot);
    int32_t USBCDGetStatus(int32_t device);
    int32_t USBCDGetCDDown(int32_t device);
    int32_t USBCDReset(int32_t device);
    int32_t USBCDLEDON(int32_t device);
    int32_t USBCDLEDOFF(int32_t device);
    int32_t CloseUSBCDLibrary();

private:
    struct Event {
        int64_t ms;
        int32_t device;
        bool attach;
    };

    bool OnEventThread() const;
    void StopEvents();
    void RunEvents();
    int64_t ElapsedMs() const;
    // Writes one trace line: "<ms> <call> -> <result>".
    void Trace(const std::string& call, int32_t result);
    // A device function: answered by `answer(now)` while started, and traced as `call`.
    template <typename Answer>
    int32_t DeviceCall(const std::string& call, Answer answer);

    const std::filesystem::path folder_;
    const Clock clock_;
    const Report report_;

    std::mutex lifecycle_;  // serialises InitUSBCDLibrary and CloseUSBCDLibrary

    std::mutex mutex_;  // guards everything below but the trace file
    std::condition_variable wake_;
    bool started_ = false;
    bool stopping_ = false;
    std::chrono::nanoseconds start_{0};
    SimDevices devices_{SimConfig{}};
    USBCDCallback callback_ = nullptr;
    std::vector<Event> events_;
    std::thread eventThread_;

    std::mutex traceMutex_;  // taken after mutex_ when both are needed, never before
    std::ofstream trace_;
};

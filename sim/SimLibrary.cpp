#include "SimLibrary.h"

#include <algorithm>
#include <iterator>
#include <sstream>

namespace {

// The library whose event thread is running on this thread, if any.
thread_local const SimLibrary* t_eventThreadOf = nullptr;

// The longest the event thread sleeps before looking at the clock again, so that a
// clock that is not the real one (in tests) is followed too.
constexpr std::chrono::milliseconds kEventPoll{10};

bool ReadFile(const std::filesystem::path& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    std::ostringstream content;
    content << file.rdbuf();
    text = content.str();
    return true;
}

}  // namespace

SimLibrary::SimLibrary(std::filesystem::path folder, Clock clock, Report report)
    : folder_(std::move(folder)), clock_(std::move(clock)), report_(std::move(report)) {}

SimLibrary::~SimLibrary() {
    CloseUSBCDLibrary();
}

int32_t SimLibrary::InitUSBCDLibrary() {
    if (OnEventThread()) {
        return kSimBusy;
    }
    std::lock_guard<std::mutex> lifecycle(lifecycle_);
    StopEvents();

    std::string text;
    std::vector<std::string> problems;
    SimConfig config;
    if (ReadFile(folder_ / kConfigName, text)) {
        config = ParseSimConfig(text, problems);
    }
    for (const std::string& problem : problems) {
        report_(std::string(kConfigName) + " " + problem);
    }

    std::vector<Event> events;
    for (const SimConfig::Event& event : config.attach) {
        events.push_back(Event{event.ms, event.device, true});
    }
    for (const SimConfig::Event& event : config.detach) {
        events.push_back(Event{event.ms, event.device, false});
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.ms < b.ms; });

    std::lock_guard<std::mutex> lock(mutex_);
    {
        std::lock_guard<std::mutex> traceLock(traceMutex_);
        start_ = clock_();
        trace_.close();
        trace_.clear();
        if (!config.trace.empty()) {
            std::filesystem::path path = folder_ / std::filesystem::u8path(config.trace);
            trace_.open(path, std::ios::binary | std::ios::trunc);
            if (trace_) {
                trace_ << "0 InitUSBCDLibrary -> 0\n" << std::flush;
            } else {
                report_("cannot write the trace file " + path.u8string());
            }
        }
    }
    devices_ = SimDevices(config);
    callback_ = nullptr;
    events_ = std::move(events);
    stopping_ = false;
    started_ = true;
    if (!events_.empty()) {
        eventThread_ = std::thread(&SimLibrary::RunEvents, this);
    }
    return kSimDone;
}

int32_t SimLibrary::GetDeviceNumber() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!started_) {
        return 0;
    }
    int32_t count = devices_.Count();
    Trace("GetDeviceNumber", count);
    return count;
}

int32_t SimLibrary::EnumDevice(int32_t index) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!started_) {
        return -1;
    }
    int32_t device = devices_.At(index);
    Trace("EnumDevice " + std::to_string(index), device);
    return device;
}

int32_t SimLibrary::SetCDCallbackProc(USBCDCallback callback) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!started_) {
        return kSimBusy;
    }
    callback_ = callback;
    Trace("SetCDCallbackProc", kSimDone);
    return kSimDone;
}

template <typename Answer>
int32_t SimLibrary::DeviceCall(const std::string& call, Answer answer) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!started_) {
        return kSimNoDevice;
    }
    int32_t result = answer(ElapsedMs());
    Trace(call, result);
    return result;
}

int32_t SimLibrary::USBCDMoveto(int32_t device, int32_t slot) {
    return DeviceCall("USBCDMoveto " + std::to_string(device) + " " + std::to_string(slot),
                      [&](int64_t now) { return devices_.MoveTo(now, device, slot); });
}

int32_t SimLibrary::USBCDGetStatus(int32_t device) {
    return DeviceCall("USBCDGetStatus " + std::to_string(device),
                      [&](int64_t now) { return devices_.GetStatus(now, device); });
}

int32_t SimLibrary::USBCDGetCDDown(int32_t device) {
    return DeviceCall("USBCDGetCDDown " + std::to_string(device),
                      [&](int64_t now) { return devices_.GetCDDown(now, device); });
}

int32_t SimLibrary::USBCDReset(int32_t device) {
    return DeviceCall("USBCDReset " + std::to_string(device),
                      [&](int64_t) { return devices_.Reset(device); });
}

int32_t SimLibrary::USBCDLEDON(int32_t device) {
    return DeviceCall("USBCDLEDON " + std::to_string(device),
                      [&](int64_t) { return devices_.SwitchLed(device); });
}

int32_t SimLibrary::USBCDLEDOFF(int32_t device) {
    return DeviceCall("USBCDLEDOFF " + std::to_string(device),
                      [&](int64_t) { return devices_.SwitchLed(device); });
}

int32_t SimLibrary::CloseUSBCDLibrary() {
    if (OnEventThread()) {
        return kSimBusy;
    }
    std::lock_guard<std::mutex> lifecycle(lifecycle_);
    StopEvents();
    std::lock_guard<std::mutex> lock(mutex_);
    if (!started_) {
        return kSimDone;
    }
    started_ = false;
    callback_ = nullptr;
    events_.clear();
    devices_ = SimDevices(SimConfig{});
    Trace("CloseUSBCDLibrary", kSimDone);
    std::lock_guard<std::mutex> traceLock(traceMutex_);
    trace_.close();
    return kSimDone;
}

bool SimLibrary::OnEventThread() const {
    return t_eventThreadOf == this;
}

void SimLibrary::StopEvents() {
    std::thread thread;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        thread = std::move(eventThread_);
    }
    wake_.notify_all();
    if (thread.joinable()) {
        thread.join();
    }
}

void SimLibrary::RunEvents() {
    t_eventThreadOf = this;
    std::unique_lock<std::mutex> lock(mutex_);
    for (std::size_t next = 0; !stopping_ && next < events_.size();) {
        int64_t wait = events_[next].ms - ElapsedMs();
        if (wait > 0) {
            wake_.wait_for(lock, std::min(std::chrono::milliseconds(wait), kEventPoll));
            continue;
        }
        const Event& event = events_[next++];
        bool changed = event.attach ? devices_.Attach(event.device) : devices_.Detach(event.device);
        USBCDCallback callback = callback_;
        if (!changed || callback == nullptr) {
            continue;
        }
        int32_t count = devices_.Count();
        lock.unlock();
        int32_t result = callback(count);
        Trace("callback " + std::to_string(count), result);
        lock.lock();
    }
    t_eventThreadOf = nullptr;
}

int64_t SimLibrary::ElapsedMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(clock_() - start_).count();
}

void SimLibrary::Trace(const std::string& call, int32_t result) {
    std::lock_guard<std::mutex> lock(traceMutex_);
    if (!trace_.is_open()) {
        return;
    }
    trace_ << ElapsedMs() << ' ' << call << " -> " << result << '\n' << std::flush;
}

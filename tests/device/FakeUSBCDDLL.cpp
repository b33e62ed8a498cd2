#include "FakeUSBCDDLL.h"

#include <mutex>

#include "LSleep.h"

namespace {
std::mutex lock;
std::vector<std::string> calls;
std::vector<uint64_t> callTimes;
int32_t deviceCount = 0;
std::vector<int32_t> devices;
std::map<std::string, std::deque<int32_t>> scripted;
USBCDCallback callback = nullptr;
struct Pending {
    std::string function;
    int count;
    std::function<void()> action;
};
std::vector<Pending> pending;

int32_t Record(const std::string& function, std::vector<int32_t> arguments = {}) {
    uint64_t now = LTickCount();
    std::function<void()> action;
    int32_t result = 0;
    {
        std::lock_guard<std::mutex> guard(lock);
        callTimes.push_back(now);
        std::string line = function;
        for (int32_t argument : arguments) {
            line += " " + std::to_string(argument);
        }
        calls.push_back(line);
        for (auto& after : pending) {
            if (after.function == function && --after.count == 0) {
                action = std::move(after.action);
            }
        }
        auto& queue = scripted[function];
        if (!queue.empty()) {
            result = queue.front();
            queue.pop_front();
        }
    }
    if (action) {
        action();
    }
    return result;
}
}  // namespace

namespace fake {
void Reset() {
    std::lock_guard<std::mutex> guard(lock);
    calls.clear();
    callTimes.clear();
    deviceCount = 0;
    devices.clear();
    scripted.clear();
    pending.clear();
    callback = nullptr;
}

std::vector<std::string> Calls() {
    std::lock_guard<std::mutex> guard(lock);
    return calls;
}

void SetDevices(int32_t count, std::vector<int32_t> internalNumbers) {
    std::lock_guard<std::mutex> guard(lock);
    deviceCount = count;
    devices = std::move(internalNumbers);
}

void ScriptResults(const std::string& function, std::deque<int32_t> results) {
    std::lock_guard<std::mutex> guard(lock);
    scripted[function] = std::move(results);
}

void AfterCall(const std::string& function, int count, std::function<void()> action) {
    std::lock_guard<std::mutex> guard(lock);
    pending.push_back({function, count, std::move(action)});
}

std::vector<uint64_t> CallTimes() {
    std::lock_guard<std::mutex> guard(lock);
    return callTimes;
}

void Note(const std::string& line) {
    uint64_t now = LTickCount();
    std::lock_guard<std::mutex> guard(lock);
    calls.push_back(line);
    callTimes.push_back(now);
}

USBCDCallback RegisteredCallback() {
    std::lock_guard<std::mutex> guard(lock);
    return callback;
}
}  // namespace fake

extern "C" {
int32_t USBCD_CALL InitUSBCDLibrary() {
    return Record("InitUSBCDLibrary");
}

int32_t USBCD_CALL GetDeviceNumber() {
    Record("GetDeviceNumber");
    std::lock_guard<std::mutex> guard(lock);
    return deviceCount;
}

int32_t USBCD_CALL EnumDevice(int32_t index) {
    Record("EnumDevice", {index});
    std::lock_guard<std::mutex> guard(lock);
    return index >= 0 && static_cast<std::size_t>(index) < devices.size()
               ? devices[static_cast<std::size_t>(index)]
               : -1;
}

int32_t USBCD_CALL SetCDCallbackProc(USBCDCallback procedure) {
    Record("SetCDCallbackProc");
    std::lock_guard<std::mutex> guard(lock);
    callback = procedure;
    return 0;
}

int32_t USBCD_CALL USBCDMoveto(int32_t device, int32_t slot) {
    return Record("USBCDMoveto", {device, slot});
}
int32_t USBCD_CALL USBCDGetStatus(int32_t device) {
    return Record("USBCDGetStatus", {device});
}
int32_t USBCD_CALL USBCDGetCDDown(int32_t device) {
    return Record("USBCDGetCDDown", {device});
}
int32_t USBCD_CALL USBCDReset(int32_t device) {
    return Record("USBCDReset", {device});
}
int32_t USBCD_CALL USBCDLEDON(int32_t device) {
    return Record("USBCDLEDON", {device});
}
int32_t USBCD_CALL USBCDLEDOFF(int32_t device) {
    return Record("USBCDLEDOFF", {device});
}
int32_t USBCD_CALL CloseUSBCDLibrary() {
    return Record("CloseUSBCDLibrary");
}
}

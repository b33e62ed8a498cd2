#include "VirtualClock.h"

#include <map>
#include <thread>

#include "LThread.h"

namespace {
std::mutex lock;
std::vector<VirtualClock::Sleep> sleeps;
std::map<uint32_t, uint64_t> elapsedUs;  // per thread, in microseconds
double stretchFactor = 1.0;
}  // namespace

VirtualClock::VirtualClock(double stretch)
    : previousSleep_(LSetSleepFunction(&VirtualClock::Record)),
      previousClock_(LSetClockFunction(&VirtualClock::Now)) {
    std::lock_guard<std::mutex> guard(lock);
    sleeps.clear();
    elapsedUs.clear();
    stretchFactor = stretch;
}

VirtualClock::~VirtualClock() {
    LSetSleepFunction(previousSleep_);
    LSetClockFunction(previousClock_);
}

void VirtualClock::Record(uint32_t milliseconds, LWaitKind kind) {
    uint32_t thread = LThreadCurrentId();
    {
        std::lock_guard<std::mutex> guard(lock);
        uint64_t& at = elapsedUs[thread];
        sleeps.push_back({thread, milliseconds, kind, at / 1000});
        at += static_cast<uint64_t>(milliseconds * 1000.0 * stretchFactor + 0.5);
    }
    // Lets other threads run, as a real sleep would.
    std::this_thread::yield();
}

uint64_t VirtualClock::Now() {
    uint32_t thread = LThreadCurrentId();
    std::lock_guard<std::mutex> guard(lock);
    return elapsedUs[thread] / 1000;
}

std::vector<VirtualClock::Sleep> VirtualClock::Sleeps() const {
    std::lock_guard<std::mutex> guard(lock);
    return sleeps;
}

std::vector<uint32_t> VirtualClock::SleepsOf(uint32_t thread, std::optional<LWaitKind> kind) const {
    std::vector<uint32_t> result;
    for (const auto& sleep : Sleeps()) {
        if (sleep.thread == thread && (!kind || sleep.kind == *kind)) {
            result.push_back(sleep.milliseconds);
        }
    }
    return result;
}

uint64_t VirtualClock::ElapsedOf(uint32_t thread) const {
    std::lock_guard<std::mutex> guard(lock);
    auto found = elapsedUs.find(thread);
    return found == elapsedUs.end() ? 0 : found->second / 1000;
}

std::size_t VirtualClock::Count() const {
    std::lock_guard<std::mutex> guard(lock);
    return sleeps.size();
}

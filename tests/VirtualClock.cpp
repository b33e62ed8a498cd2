#include "VirtualClock.h"

#include <map>
#include <thread>

#include "LThread.h"

namespace {
std::mutex lock;
std::vector<VirtualClock::Sleep> sleeps;
std::map<uint32_t, uint64_t> elapsed;
}  // namespace

VirtualClock::VirtualClock() : previous_(LSetSleepFunction(&VirtualClock::Record)) {
    std::lock_guard<std::mutex> guard(lock);
    sleeps.clear();
    elapsed.clear();
}

VirtualClock::~VirtualClock() {
    LSetSleepFunction(previous_);
}

void VirtualClock::Record(uint32_t milliseconds) {
    uint32_t thread = LThreadCurrentId();
    {
        std::lock_guard<std::mutex> guard(lock);
        uint64_t& at = elapsed[thread];
        sleeps.push_back({thread, milliseconds, at});
        at += milliseconds;
    }
    // Lets other threads run, as a real sleep would.
    std::this_thread::yield();
}

std::vector<VirtualClock::Sleep> VirtualClock::Sleeps() const {
    std::lock_guard<std::mutex> guard(lock);
    return sleeps;
}

std::vector<uint32_t> VirtualClock::SleepsOf(uint32_t thread) const {
    std::vector<uint32_t> result;
    for (const auto& sleep : Sleeps()) {
        if (sleep.thread == thread) {
            result.push_back(sleep.milliseconds);
        }
    }
    return result;
}

uint64_t VirtualClock::ElapsedOf(uint32_t thread) const {
    std::lock_guard<std::mutex> guard(lock);
    auto found = elapsed.find(thread);
    return found == elapsed.end() ? 0 : found->second;
}

std::size_t VirtualClock::Count() const {
    std::lock_guard<std::mutex> guard(lock);
    return sleeps.size();
}

#include "LInterrupt.h"

#include <atomic>
#include <mutex>

namespace interrupt {
namespace {
std::mutex lock;
LThread* registered = nullptr;
std::mutex heldOff;
std::atomic<bool> waiting{false};
}  // namespace

LScopeExit<LetInterruptGo> HoldOff() {
    heldOff.lock();
    return LScopeExit<LetInterruptGo>({});
}

void LetInterruptGo::operator()() const {
    heldOff.unlock();
}

bool Waiting() {
    return waiting.load();
}

LScopeExit<RestoreStoppedOnInterrupt> StopOnInterrupt(LThread& thread) {
    std::lock_guard<std::mutex> guard(lock);
    LThread* previous = registered;
    registered = &thread;
    return LScopeExit<RestoreStoppedOnInterrupt>({previous});
}

void RestoreStoppedOnInterrupt::operator()() const {
    std::lock_guard<std::mutex> guard(lock);
    registered = previous;
}

// Waits for what holds the interrupt off. The locks stay taken until the process
// ends, so that the run, which goes on beside the interrupt's thread for these last
// moments, can neither let go of the thread, start another, nor begin another save.
void StopThreadsForExit() {
    waiting = true;
    heldOff.lock();
    lock.lock();
    if (registered != nullptr) {
        registered->StopAndWait();
    }
}

}  // namespace interrupt

#include "LInterrupt.h"

#include <mutex>

namespace interrupt {
namespace {
std::mutex lock;
LThread* registered = nullptr;
}  // namespace

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

// The lock stays taken until the process ends, so that the run, which goes on
// beside the interrupt's thread for these last moments, can neither let go of the
// thread nor start another.
void StopThreadsForExit() {
    lock.lock();
    if (registered != nullptr) {
        registered->StopAndWait();
    }
}

}  // namespace interrupt

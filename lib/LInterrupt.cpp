#include "LInterrupt.h"

#include <mutex>

namespace interrupt {
namespace {
std::mutex lock;
LThread* registered = nullptr;
}  // namespace

StopOnInterrupt::StopOnInterrupt(LThread& thread) {
    std::lock_guard<std::mutex> guard(lock);
    previous_ = registered;
    registered = &thread;
}

StopOnInterrupt::~StopOnInterrupt() {
    std::lock_guard<std::mutex> guard(lock);
    registered = previous_;
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

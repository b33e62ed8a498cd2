#include "CFlashingThread.h"

#include "LSleep.h"
#include "USBCDDLL.h"

namespace {
constexpr uint32_t kPhaseMs = 500;
constexpr uint32_t kStepMs = 10;
}  // namespace

int32_t CFlashingThread::Run() {
    auto stop = [this] { return StopRequested(); };
    if (stop()) {
        return 0;
    }
    for (;;) {
        USBCDLEDON(device_);
        bool stopped = LSleepFor(kPhaseMs, kStepMs, stop);
        // Also when the stop came during the on phase: the LED is never left on.
        USBCDLEDOFF(device_);
        if (stopped || LSleepFor(kPhaseMs, kStepMs, stop)) {
            return 0;
        }
    }
}

#include "CFlashingThread.h"

#include "LSleep.h"
#include "USBCDDLL.h"

namespace {
constexpr int kStepsPerPhase = 50;
constexpr uint32_t kStepMs = 10;
}  // namespace

int32_t CFlashingThread::Run() {
    if (StopRequested()) {
        return 0;
    }
    for (;;) {
        USBCDLEDON(device_);
        for (int step = 0; step < kStepsPerPhase && !StopRequested(); ++step) {
            LSleep(kStepMs);
        }
        USBCDLEDOFF(device_);
        for (int step = 0; step < kStepsPerPhase; ++step) {
            if (StopRequested()) {
                return 0;
            }
            LSleep(kStepMs);
        }
        if (StopRequested()) {
            return 0;
        }
    }
}

#pragma once

#include <cstdint>

#include "LThread.h"

// Blinks one device's LED, 500 ms on and 500 ms off, so that the user can tell
// which carousel is being numbered. A thread that switched the LED on always
// switches it off before it ends.
class CFlashingThread : public LThread {
public:
    explicit CFlashingThread(int32_t device) : device_(device) {}
    ~CFlashingThread() override = default;

    int32_t Run() override;

private:
    int32_t device_;
};

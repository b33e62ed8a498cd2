#pragma once

#include <cstdint>

#include "LScopeExit.h"

// An abstract lock.
class LSyncObject {
public:
    // Returns non-zero when the lock is held.
    virtual int32_t Lock(int32_t waitTime) = 0;
    virtual int32_t Unlock() = 0;
    virtual ~LSyncObject() = default;
};

// Takes the lock, waiting as long as that takes, and lets it go when the scope ends.
[[nodiscard]] inline auto LLockForScope(LSyncObject& lock) {
    constexpr int32_t kWaitForever = -1;
    lock.Lock(kWaitForever);
    return LScopeExit([&lock] { lock.Unlock(); });
}

// A recursive lock, as a Win32 critical section is. The wait time is not used:
// Lock always waits until the section is free.
class LCriticalSection : public LSyncObject {
public:
    LCriticalSection();
    ~LCriticalSection() override;
    LCriticalSection(const LCriticalSection&) = delete;
    LCriticalSection& operator=(const LCriticalSection&) = delete;

    int32_t Lock(int32_t waitTime) override;
    int32_t Unlock() override;

private:
    // Room for the platform's lock object, which the platform file places here.
    alignas(8) unsigned char section_[64];
};

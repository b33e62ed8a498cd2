#include <windows.h>

#include <new>

#include "LCriticalSection.h"

namespace {
CRITICAL_SECTION* Section(unsigned char* storage) {
    return reinterpret_cast<CRITICAL_SECTION*>(storage);
}
}  // namespace

LCriticalSection::LCriticalSection() {
    static_assert(sizeof(CRITICAL_SECTION) <= sizeof section_, "critical section does not fit");
    InitializeCriticalSection(new (section_) CRITICAL_SECTION);
}

LCriticalSection::~LCriticalSection() {
    DeleteCriticalSection(Section(section_));
}

int32_t LCriticalSection::Lock(int32_t /*waitTime*/) {
    EnterCriticalSection(Section(section_));
    return 1;
}

int32_t LCriticalSection::Unlock() {
    LeaveCriticalSection(Section(section_));
    return 1;
}

#include <windows.h>

#include "ThreadProbes.h"

// The critical section sits in the section's storage, after the object's vtable
// pointer.
bool TryLockNatively(LCriticalSection& section) {
    static_assert(sizeof(LCriticalSection) == 8 + 64, "the section's storage has moved");
    auto* native =
        reinterpret_cast<CRITICAL_SECTION*>(reinterpret_cast<unsigned char*>(&section) + 8);
    const bool got = TryEnterCriticalSection(native) != 0;
    if (got) {
        LeaveCriticalSection(native);
    }
    return got;
}

// Wine gives a suspended thread's context only once the thread holds still.
void WaitUntilSuspended(LThreadHandle thread) {
    CONTEXT context{};
    context.ContextFlags = CONTEXT_CONTROL;
    GetThreadContext(static_cast<HANDLE>(thread), &context);
}

ThreadEndWatch::~ThreadEndWatch() {
    if (handle_ != nullptr) {
        CloseHandle(handle_);
    }
}

// A handle of the thread's own, which its end signals however it ended.
void ThreadEndWatch::Watch() {
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &handle_,
                    SYNCHRONIZE, FALSE, 0);
}

bool ThreadEndWatch::Ended(uint32_t waitMs) const {
    return handle_ != nullptr && WaitForSingleObject(handle_, waitMs) == WAIT_OBJECT_0;
}

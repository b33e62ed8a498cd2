#include "LThread.h"

#include "LSleep.h"
#include "LThreadPlatform.h"

LThread::~LThread() {
    LThreadHandle handle = handle_.load();
    if (handle == nullptr || handle == LThreadCurrentPseudoHandle() || threadId_ == 0 ||
        threadId_ == LThreadCurrentId()) {
        return;  // never started, run in place, or destroyed on its own thread
    }
    if (IsRunning()) {
        LThreadTerminate(handle);
    }
    // Also after a termination, so that no handle is left behind.
    LThreadClose(handle);
}

uint32_t LThread::ThreadProc(void* parameter) {
    return static_cast<uint32_t>(static_cast<LThread*>(parameter)->Run());
}

bool LThread::Start(bool suspended) {
    suspended_.store(suspended);
    LThreadHandle handle = LThreadCreate(this, suspended, &threadId_);
    handle_.store(handle);
    return handle != nullptr;
}

bool LThread::IsRunning() const {
    uint32_t exitCode = 0;
    return LThreadGetExitCode(handle_.load(), &exitCode) && exitCode == kLThreadStillActive;
}

void LThread::StopAndWait() {
    stop_.store(1);
    if (suspended_.load() && IsRunning()) {
        LThreadTerminate(handle_.load());
    }
    while (IsRunning()) {
        LSleep(1, LWaitKind::kThreadEnd);
    }
}

int32_t LThread::RunInCallingThread() {
    handle_.store(LThreadCurrentPseudoHandle());
    threadId_ = LThreadCurrentId();
    return Run();
}

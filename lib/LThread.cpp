#include "LThread.h"

#include "LSleep.h"

LThread::~LThread() {
    if (handle_ == nullptr || handle_ == LThreadCurrentPseudoHandle() || threadId_ == 0 ||
        threadId_ == LThreadCurrentId()) {
        return;  // never started, run in place, or destroyed on its own thread
    }
    if (IsRunning()) {
        LThreadTerminate(handle_);
    }
    // Also after a termination, so that no handle is left behind.
    LThreadClose(handle_);
}

uint32_t LThread::ThreadProc(void* parameter) {
    return static_cast<uint32_t>(static_cast<LThread*>(parameter)->Run());
}

bool LThread::Start(bool suspended) {
    handle_ = LThreadCreate(this, suspended, &threadId_);
    return handle_ != nullptr;
}

bool LThread::IsRunning() const {
    uint32_t exitCode = 0;
    return LThreadGetExitCode(handle_, &exitCode) && exitCode == kStillActive;
}

void LThread::StopAndWait() {
    stop_.store(1);
    while (IsRunning()) {
        LSleep(1);
    }
}

int32_t LThread::RunInCallingThread() {
    handle_ = LThreadCurrentPseudoHandle();
    threadId_ = LThreadCurrentId();
    return Run();
}

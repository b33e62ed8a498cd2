#include <pthread.h>

#include <atomic>

#include "LThreadPlatform.h"

// A handle is a control block with the pthread and an atomic record of whether
// the body has returned, which GetExitCodeThread reads on Windows.
namespace {
struct PosixThread {
    LThread* object = nullptr;
    uint32_t id = 0;
    pthread_t thread{};
    bool started = false;  // false for a thread created suspended: it never runs
    bool joined = false;
    std::atomic<bool> ended{false};
    std::atomic<uint32_t> exitCode{kLThreadStillActive};
};

std::atomic<uint32_t> nextThreadId{1};
thread_local uint32_t currentThreadId = 0;
// Its address is the pseudo handle that stands for the calling thread.
PosixThread pseudoHandle;

PosixThread* Control(LThreadHandle handle) {
    return static_cast<PosixThread*>(handle);
}

void* StartRoutine(void* parameter) {
    PosixThread* control = Control(parameter);
    currentThreadId = control->id;
    control->exitCode.store(LThread::ThreadProc(control->object));
    control->ended.store(true);
    return nullptr;
}

void Join(PosixThread* control) {
    if (control->started && !control->joined) {
        pthread_join(control->thread, nullptr);
        control->joined = true;
    }
}
}  // namespace

LThreadHandle LThreadCreate(LThread* thread, bool suspended, uint32_t* threadId) {
    auto* control = new PosixThread;
    control->object = thread;
    // Assigned up front, as Windows does, so that the new thread learns its own id.
    control->id = nextThreadId.fetch_add(1);
    if (!suspended) {
        control->started = true;
        if (pthread_create(&control->thread, nullptr, &StartRoutine, control) != 0) {
            delete control;
            return nullptr;
        }
    }
    *threadId = control->id;
    return control;
}

bool LThreadGetExitCode(LThreadHandle handle, uint32_t* exitCode) {
    if (handle == nullptr) {
        return false;
    }
    *exitCode = handle == &pseudoHandle ? kLThreadStillActive : Control(handle)->exitCode.load();
    return true;
}

// There is no safe way to end a pthread from outside. Cancellation ends the body at
// its next wait, and the caller waits for that.
void LThreadTerminate(LThreadHandle handle) {
    PosixThread* control = Control(handle);
    if (handle == &pseudoHandle || control->ended.load()) {
        return;
    }
    if (control->started) {
        pthread_cancel(control->thread);
        Join(control);
    }
    control->exitCode.store(0);
    control->ended.store(true);
}

bool LThreadClose(LThreadHandle handle) {
    if (handle == nullptr || handle == &pseudoHandle) {
        return false;
    }
    PosixThread* control = Control(handle);
    Join(control);
    delete control;
    return true;
}

LThreadHandle LThreadCurrentPseudoHandle() {
    return &pseudoHandle;
}

uint32_t LThreadCurrentId() {
    if (currentThreadId == 0) {
        currentThreadId = nextThreadId.fetch_add(1);
    }
    return currentThreadId;
}

// Linux threads have no message queue: the loop ends at once, as it does on Windows
// when GetMessageW fails.
int32_t LThread::MessageLoop() {
    return 0;
}

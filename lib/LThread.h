#pragma once

#include <atomic>
#include <cstdint>

// A platform thread handle; on Windows the HANDLE itself.
using LThreadHandle = void*;

// One thread whose body is Run, stopped cooperatively through a flag that the body
// reads before each of its waits.
class LThread {
public:
    // The exit code GetExitCodeThread reports for a thread that has not ended.
    static constexpr uint32_t kStillActive = 259;

    LThread() = default;
    virtual ~LThread();
    LThread(const LThread&) = delete;
    LThread& operator=(const LThread&) = delete;

    // The thread body; its result becomes the exit code and must not be 259.
    virtual int32_t Run() { return 0; }
    virtual int32_t MessageLoop();
    // Non-zero lets MessageLoop translate and dispatch the message.
    virtual int32_t PreTranslateMessage(void* /*window*/, uint32_t /*message*/,
                                        uintptr_t /*wParam*/, intptr_t /*lParam*/) {
        return 1;
    }

    bool Start(bool suspended);
    bool IsRunning() const;
    // Asks the thread to stop and waits until it has ended.
    void StopAndWait();
    // Runs the body on the calling thread, which the object then stands for.
    int32_t RunInCallingThread();

    LThreadHandle GetHandle() const { return handle_.load(); }
    uint32_t GetThreadId() const { return threadId_; }

    // The start routine: runs the body of the object it is given and returns its
    // result as the thread's exit code.
    static uint32_t ThreadProc(void* parameter);

protected:
    // Read afresh at every call: the controlling thread sets it at any time.
    bool StopRequested() const { return stop_.load() != 0; }

private:
    // Atomic: another thread may stop this one while it is being started (an
    // interrupt stopping a blinking LED).
    std::atomic<LThreadHandle> handle_{nullptr};
    uint32_t threadId_ = 0;
    std::atomic<int32_t> stop_{0};
};

// The platform's thread calls, behind the portable logic of LThread.
// Starts a thread that calls LThread::ThreadProc with the object.
LThreadHandle LThreadCreate(LThread* thread, bool suspended, uint32_t* threadId);
// False when the exit code cannot be read (a null handle included).
bool LThreadGetExitCode(LThreadHandle handle, uint32_t* exitCode);
void LThreadTerminate(LThreadHandle handle);
bool LThreadClose(LThreadHandle handle);
// The pseudo handle that always stands for the calling thread.
LThreadHandle LThreadCurrentPseudoHandle();
uint32_t LThreadCurrentId();

#pragma once

#include <atomic>
#include <cstdint>

// A platform thread handle; on Windows the HANDLE itself.
using LThreadHandle = void*;

// One thread whose body is Run, stopped cooperatively through a flag that the body
// reads before each of its waits.
class LThread {
public:
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

    // A thread started suspended never runs its body: nothing resumes it.
    bool Start(bool suspended);
    bool IsRunning() const;
    // Asks the thread to stop and waits until it has ended; a suspended one, which
    // would never read the request, is ended instead.
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
    std::atomic<bool> suspended_{false};
};

// The calling thread's id, as the platform numbers threads.
uint32_t LThreadCurrentId();

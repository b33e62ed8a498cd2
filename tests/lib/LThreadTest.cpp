#include "LThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "LSleep.h"
#include "ThreadProbes.h"
#include "VirtualClock.h"
#include "detail/LThreadPlatform.h"

namespace {

// Returns at once with a chosen exit code.
class QuickThread : public LThread {
public:
    explicit QuickThread(int32_t result) : result_(result) {}
    ~QuickThread() override = default;
    int32_t Run() override {
        ran = true;
        return result_;
    }
    std::atomic<bool> ran{false};

private:
    int32_t result_;
};

// Waits in 10 ms steps and reads the stop flag before each, as the indicators do.
class PollingThread : public LThread {
public:
    ~PollingThread() override = default;
    int32_t Run() override {
        id = LThreadCurrentId();
        while (!StopRequested()) {
            steps.fetch_add(1);
            LSleep(10, LWaitKind::kPoll);
        }
        return 0;
    }
    std::atomic<uint32_t> id{0};
    std::atomic<int> steps{0};
};

// Never looks at the stop flag, so it ends only when ended from outside.
class StubbornThread : public LThread {
public:
    explicit StubbornThread(ThreadEndWatch& watch) : watch_(watch) {}
    ~StubbornThread() override = default;
    int32_t Run() override {
        watch_.Watch();
        started = true;
        for (;;) {
            LSleepReal(5);
        }
    }
    std::atomic<bool> started{false};

private:
    ThreadEndWatch& watch_;
};

void WaitUntilEnded(const LThread& thread) {
    while (thread.IsRunning()) {
        LSleepReal(1);
    }
}

TEST(LThread, NeverStartedStopsAtOnceAndDestroysQuietly) {
    VirtualClock clock;
    QuickThread thread(0);
    EXPECT_EQ(thread.GetHandle(), nullptr);
    EXPECT_EQ(thread.GetThreadId(), 0u);
    EXPECT_FALSE(thread.IsRunning());
    thread.StopAndWait();
    EXPECT_EQ(clock.Count(), 0u);
    EXPECT_FALSE(thread.ran);
}

TEST(LThread, EndedThreadStopsWithoutSleepingAndKeepsItsExitCode) {
    QuickThread thread(7);
    ASSERT_TRUE(thread.Start(false));
    EXPECT_NE(thread.GetThreadId(), 0u);
    WaitUntilEnded(thread);
    EXPECT_TRUE(thread.ran);
    uint32_t exitCode = 0;
    ASSERT_TRUE(LThreadGetExitCode(thread.GetHandle(), &exitCode));
    EXPECT_EQ(exitCode, 7u);
    VirtualClock clock;
    thread.StopAndWait();
    EXPECT_EQ(clock.Count(), 0u);
}

// Sleeps of the test's own thread each give one permit; every other thread's sleep
// waits for one. The polling thread then takes exactly the steps the test permits,
// however the scheduler runs it.
class StepGate {
public:
    StepGate() : owner_(LThreadCurrentId()), under_(LSetSleepFunction(&StepGate::Sleep)) {
        instance_ = this;
    }
    ~StepGate() {
        LSetSleepFunction(under_);
        instance_ = nullptr;
    }
    StepGate(const StepGate&) = delete;
    StepGate& operator=(const StepGate&) = delete;

    void Permit(int steps) {
        std::lock_guard<std::mutex> guard(lock_);
        permits_ += steps;
        changed_.notify_all();
    }

private:
    static void Sleep(uint32_t milliseconds, LWaitKind kind) {
        StepGate& gate = *instance_;
        if (LThreadCurrentId() == gate.owner_) {
            gate.Permit(1);
        } else {
            std::unique_lock<std::mutex> guard(gate.lock_);
            gate.changed_.wait(guard, [&gate] { return gate.permits_ > 0; });
            --gate.permits_;
        }
        gate.under_(milliseconds, kind);
    }

    static inline StepGate* instance_ = nullptr;
    uint32_t owner_;
    LSleepFunction under_;
    std::mutex lock_;
    std::condition_variable changed_;
    int permits_ = 0;
};

TEST(LThread, StopMidWaitEndsWithinOneStep) {
    VirtualClock clock;
    StepGate gate;
    PollingThread thread;
    ASSERT_TRUE(thread.Start(false));
    gate.Permit(4);  // the fifth step then waits in its sleep
    while (thread.steps.load() < 5) {
        LSleepReal(1);
    }
    int stepsBeforeStop = thread.steps.load();
    thread.StopAndWait();
    // The flag is read before every wait: the step under way when the stop came is
    // finished, and no other begins.
    EXPECT_EQ(thread.steps.load(), stepsBeforeStop);
    for (uint32_t ms : clock.SleepsOf(LThreadCurrentId())) {
        EXPECT_EQ(ms, 1u);  // StopAndWait polls in 1 ms steps
    }
    EXPECT_EQ(clock.SleepsOf(LThreadCurrentId()),
              clock.SleepsOf(LThreadCurrentId(), LWaitKind::kThreadEnd));
    for (uint32_t ms : clock.SleepsOf(thread.id)) {
        EXPECT_EQ(ms, 10u);
    }
}

TEST(LThread, RunInCallingThreadStandsForTheCallerAndDestroysNothing) {
    uint32_t exitCode = 0;
    {
        QuickThread thread(3);
        EXPECT_EQ(thread.RunInCallingThread(), 3);
        EXPECT_TRUE(thread.ran);
        EXPECT_EQ(thread.GetHandle(), LThreadCurrentPseudoHandle());
        EXPECT_EQ(thread.GetThreadId(), LThreadCurrentId());
        EXPECT_TRUE(thread.IsRunning());  // the calling thread is alive
    }
    // Had the destructor ended or closed the thread, the test would not be here.
    ASSERT_TRUE(LThreadGetExitCode(LThreadCurrentPseudoHandle(), &exitCode));
    EXPECT_EQ(exitCode, kLThreadStillActive);
}

TEST(LThread, DestroyingARunningThreadEndsIt) {
    ThreadEndWatch watch;
    auto* thread = new StubbornThread(watch);
    ASSERT_TRUE(thread->Start(false));
    while (!thread->started) {
        LSleepReal(1);
    }
    EXPECT_TRUE(thread->IsRunning());
    delete thread;
    // Its body never returns: only the destruction can have ended it. The bound is
    // not a measure of speed; it keeps a thread that lives on from hanging the test.
    EXPECT_TRUE(watch.Ended(10000));
}

TEST(LThread, SuspendedThreadNeverRunsItsBodyAndIsEndedByStopping) {
    QuickThread thread(0);
    ASSERT_TRUE(thread.Start(true));
    EXPECT_TRUE(thread.IsRunning());
    WaitUntilSuspended(thread.GetHandle());
    thread.StopAndWait();  // nothing resumes it, so waiting for it would never end
    // Ended, it can no longer run late.
    EXPECT_FALSE(thread.ran);
}

}  // namespace

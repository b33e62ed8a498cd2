#include <benchmark/benchmark.h>

#include <atomic>

#include "LSleep.h"
#include "LThread.h"

namespace {

// Waits in real 10 ms steps and reads the stop flag before each, as the indicators
// do.
class PollingThread : public LThread {
public:
    ~PollingThread() override = default;
    int32_t Run() override {
        while (!StopRequested()) {
            steps.fetch_add(1);
            LSleep(10, LWaitKind::kPoll);
        }
        return 0;
    }
    std::atomic<int> steps{0};
};

// How soon StopAndWait returns for such a thread: within one of its steps, plus
// what the scheduler adds. This is the delay between a disc's device answering and
// the spinner giving way to "done.".
void StopAndWaitOfAThreadInRealSleeps(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        PollingThread thread;
        thread.Start(false);
        while (thread.steps.load() < 2) {
            LSleepReal(1);
        }
        state.ResumeTiming();
        thread.StopAndWait();
    }
}
BENCHMARK(StopAndWaitOfAThreadInRealSleeps)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

#include <windows.h>

#include <gtest/gtest.h>

#include "LThread.h"

namespace {

constexpr UINT kCounted = WM_APP + 1;

class CountingThread : public LThread {
public:
    ~CountingThread() override = default;
    int32_t PreTranslateMessage(void*, uint32_t message, uintptr_t wParam, intptr_t) override {
        if (message == kCounted) {
            seen += static_cast<int>(wParam);
        }
        return 1;
    }
    int seen = 0;
};

TEST(LThreadWin32, MessageLoopPassesMessagesAndReturnsTheQuitCode) {
    CountingThread thread;
    PostThreadMessageW(GetCurrentThreadId(), kCounted, 2, 0);
    PostThreadMessageW(GetCurrentThreadId(), kCounted, 3, 0);
    PostQuitMessage(7);
    EXPECT_EQ(thread.MessageLoop(), 7);
    EXPECT_EQ(thread.seen, 5);
}

}  // namespace

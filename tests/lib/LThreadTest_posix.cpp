#include <gtest/gtest.h>

#include "LThread.h"

namespace {

TEST(LThreadPosix, MessageLoopEndsAtOnceWithoutAQueue) {
    LThread thread;
    EXPECT_EQ(thread.MessageLoop(), 0);
}

}  // namespace

#include "LStdOut.h"

#include <gtest/gtest.h>

#include "StdOutCapture.h"

namespace {

TEST(LStdOut, TextAndFormattedOutputArriveInOrderByteForByte) {
    StdOutCapture capture;
    StdOutWrite(u"\r\nInitial waiting: ");
    StdOutFormat("CD N%d (%d:%d) selecting: ", 186, 2, 36);
    StdOutWrite(LString(u"done.\r\n"));
    StdOutWrite(u"caf\u00E9", 4);
    StdOutWrite(u"ignored", 0);
    EXPECT_EQ(capture.Finish(),
              "\r\nInitial waiting: CD N186 (2:36) selecting: done.\r\ncaf\xC3\xA9");
}

}  // namespace

#include <gtest/gtest.h>

#include <cstddef>
#include <new>

#include "LHeap.h"

namespace {

// The Windows heap raises a structured exception instead; this is the C++ form.
TEST(LHeapPosix, FailureRaisesInsteadOfReturningNull) {
    const std::size_t huge = static_cast<std::size_t>(-1) / 2;
    EXPECT_THROW(LHeapAlloc(LHeapProcess(), huge), std::bad_alloc);
    LHeapHandle heap = LHeapCreate(1200);
    void* block = LHeapAlloc(heap, 16);
    EXPECT_THROW(LHeapAlloc(heap, huge), std::bad_alloc);
    EXPECT_THROW(LHeapReAlloc(heap, block, 16, huge), std::bad_alloc);
    LHeapFree(heap, block);  // the failed growth left the block intact and owned
    LHeapDestroy(heap);
}

}  // namespace

#include "LHeap.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool AllZero(const unsigned char* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] != 0) {
            return false;
        }
    }
    return true;
}

void CheckHeap(LHeapHandle heap) {
    auto* block = static_cast<unsigned char*>(LHeapAlloc(heap, 64));
    EXPECT_TRUE(AllZero(block, 64));
    std::memset(block, 0xAB, 64);
    block = static_cast<unsigned char*>(LHeapReAlloc(heap, block, 64, 4096));
    for (std::size_t i = 0; i < 64; ++i) {
        ASSERT_EQ(block[i], 0xAB) << i;
    }
    EXPECT_TRUE(AllZero(block + 64, 4096 - 64));
    LHeapFree(heap, block);
}

TEST(LHeap, ProcessHeapZeroesAndGrowsKeepingContents) {
    CheckHeap(LHeapProcess());
}

TEST(LHeap, PrivateHeapZeroesGrowsAndReleasesWhatIsLeft) {
    LHeapHandle heap = LHeapCreate(1200);
    CheckHeap(heap);
    for (int i = 0; i < 100; ++i) {
        LHeapAlloc(heap, 100);  // left for the heap to release
    }
    LHeapDestroy(heap);  // leak checkers see nothing left behind
}

}  // namespace

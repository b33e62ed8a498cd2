#include "LHeap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <new>

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

TEST(LHeapBytes, SizesThatDoNotFitFailInsteadOfWrapping) {
    constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max();
    EXPECT_EQ(LHeapBytes(sizeof(void*), 10, 3 * sizeof(void*)), 31 * sizeof(void*));
    EXPECT_EQ(LHeapBytes(0, 17, sizeof(void*)), 17 * sizeof(void*));
    EXPECT_EQ(LHeapBytes(8, 0, 12), 8u);
    EXPECT_EQ(LHeapBytes(4, kMax / 12 - 1, 12), (kMax / 12 - 1) * 12 + 4);
    EXPECT_THROW(LHeapBytes(0, kMax / 12 + 1, 12), std::bad_alloc);
    EXPECT_THROW(LHeapBytes(4, kMax / 12, 12), std::bad_alloc);  // only the header overflows
    EXPECT_THROW(LHeapBytes(0, kMax / 2 + 1, 2), std::bad_alloc);
}

}  // namespace

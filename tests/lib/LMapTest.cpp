#include "LMap.h"

#include <gtest/gtest.h>

#include <new>

namespace {

TEST(LMap, LookupOnANewMapAllocatesNothing) {
    LMap map;
    int32_t value = 42;
    EXPECT_FALSE(map.Lookup(5, value));
    EXPECT_EQ(value, 42);
    EXPECT_FALSE(map.HasBuckets());
    EXPECT_EQ(map.Pool().BlockCount(), 0);
    EXPECT_EQ(map.GetBucketCount(), 17u);
}

TEST(LMap, FindOrInsertInsertsZeroOnceAndKeepsTheSlot) {
    LMap map;
    int32_t& slot = map.FindOrInsert(5);
    EXPECT_TRUE(map.HasBuckets());
    EXPECT_EQ(map.GetBucketCount(), 17u);
    EXPECT_EQ(slot, 0);
    slot = 3;
    EXPECT_EQ(&map.FindOrInsert(5), &slot);
    EXPECT_EQ(map.GetCount(), 1);
    int32_t value = 0;
    ASSERT_TRUE(map.Lookup(5, value));
    EXPECT_EQ(value, 3);
    map.FindOrInsert(5) = 9;  // setting a key twice keeps the value set last
    ASSERT_TRUE(map.Lookup(5, value));
    EXPECT_EQ(value, 9);
}

TEST(LMap, BucketsShiftTheKeyAsUnsigned) {
    struct Case {
        int32_t key;
        uint32_t bucket;
    };
    const Case cases[] = {{0, 0},
                          {3, 0},
                          {7, 0},
                          {15, 0},
                          {16, 1},
                          {31, 1},
                          {32, 2},
                          {-1, 15},  // 0xFFFFFFFF >> 4 = 268435455, modulo 17
                          {272, 0},  // 17 << 4 wraps round to bucket 0
                          {-2147483647 - 1, 134217728u % 17}};
    LMap map;
    for (const auto& c : cases) {
        EXPECT_EQ(map.BucketOf(c.key), c.bucket) << c.key;
    }
    for (const auto& c : cases) {
        map.FindOrInsert(c.key) = c.key ^ 0x5A5A;
    }
    for (const auto& c : cases) {
        int32_t value = 0;
        ASSERT_TRUE(map.Lookup(c.key, value)) << c.key;
        EXPECT_EQ(value, c.key ^ 0x5A5A) << c.key;
    }
    EXPECT_EQ(map.GetCount(), 10);
}

TEST(LMap, RemoveAllKeepsTheBucketCountAndAllowsReuse) {
    LMap map;
    for (int32_t k = 1; k <= 25; ++k) {
        map.FindOrInsert(k) = k * 2;
    }
    EXPECT_EQ(map.Pool().BlockCount(), 3);
    map.RemoveAll();
    EXPECT_EQ(map.GetCount(), 0);
    EXPECT_FALSE(map.HasBuckets());
    EXPECT_EQ(map.Pool().BlockCount(), 0);
    EXPECT_EQ(map.GetBucketCount(), 17u);
    int32_t value = 0;
    EXPECT_FALSE(map.Lookup(1, value));
    EXPECT_EQ(map.FindOrInsert(1), 0);  // a fresh node, not the old value
    EXPECT_TRUE(map.HasBuckets());
}

TEST(LMap, InitHashTableOnlyWhileEmptyAndNonZero) {
    LMap map;
    map.InitHashTable(0);
    EXPECT_EQ(map.GetBucketCount(), 17u);
    map.InitHashTable(101, false);
    EXPECT_EQ(map.GetBucketCount(), 101u);
    EXPECT_FALSE(map.HasBuckets());
    map.InitHashTable(7, true);
    EXPECT_TRUE(map.HasBuckets());
    map.FindOrInsert(100) = 1;
    EXPECT_EQ(map.BucketOf(100), 6u);  // (100 >> 4) % 7
    map.InitHashTable(13);
    EXPECT_EQ(map.GetBucketCount(), 7u);
    int32_t value = 0;
    EXPECT_TRUE(map.Lookup(100, value));
}

TEST(LMap, BlockSizeAndPrivateHeap) {
    EXPECT_EQ(LMap(0).Pool().BlockSize(), 10);
    EXPECT_EQ(LMap(-5).Pool().BlockSize(), 10);
    LMap map(3, true);
    for (int32_t k = 0; k < 100; ++k) {
        map.FindOrInsert(k * 16) = k;
    }
    EXPECT_EQ(map.Pool().BlockCount(), 34);
    int32_t value = -1;
    ASSERT_TRUE(map.Lookup(99 * 16, value));
    EXPECT_EQ(value, 99);
}

// On the 32-bit build 2^30 bucket references come to 2^32 bytes, which wraps to 0.
TEST(LMap, ABucketArrayTooLargeForTheAddressSpaceFailsAsOutOfMemory) {
    if (sizeof(void*) > 4) {
        GTEST_SKIP() << "only the 32-bit build has bucket counts that wrap";
    }
    LMap map;
    EXPECT_THROW(map.InitHashTable(0x40000000u, true), std::bad_alloc);
    EXPECT_EQ(map.GetBucketCount(), 17u);  // the map is as it was
    map.InitHashTable(0x40000000u, false);
    EXPECT_THROW(map.FindOrInsert(5), std::bad_alloc);
    EXPECT_EQ(map.GetCount(), 0);
    EXPECT_EQ(map.Pool().BlockCount(), 0);
}

}  // namespace

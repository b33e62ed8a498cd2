#include "LList.h"

#include <gtest/gtest.h>

#include <new>
#include <vector>

namespace {

std::vector<int32_t> Values(const LList& list) {
    std::vector<int32_t> values;
    for (LPosition p = list.GetHeadPosition(); p != nullptr;) {
        values.push_back(list.GetNext(p));
    }
    return values;
}

TEST(LList, IteratesInInsertionOrderWithOpenEnds) {
    LList list;
    list.AddTail(25);
    list.AddTail(186);
    list.AddTail(187);
    EXPECT_EQ(Values(list), (std::vector<int32_t>{25, 186, 187}));
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetHeadPosition()->previous, nullptr);
    EXPECT_EQ(list.GetTailPosition()->next, nullptr);
    EXPECT_EQ(list.GetTailPosition()->previous->previous, list.GetHeadPosition());
}

TEST(LList, EmptyListHasNoHeadAndNoBlock) {
    LList list;
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.Pool().BlockCount(), 0);
}

TEST(LList, EleventhAddTailTakesASecondBlockAndRemoveAllFreesBoth) {
    LList list(10);
    std::vector<LPosition> nodes;
    for (int32_t i = 1; i <= 10; ++i) {
        nodes.push_back(list.AddTail(i));
    }
    EXPECT_EQ(list.Pool().BlockCount(), 1);
    // Nodes of one block come out in address order, side by side.
    for (std::size_t i = 1; i < nodes.size(); ++i) {
        EXPECT_EQ(nodes[i], nodes[i - 1] + 1);
    }
    list.AddTail(11);
    EXPECT_EQ(list.Pool().BlockCount(), 2);
    list.RemoveAll();
    EXPECT_EQ(list.Pool().BlockCount(), 0);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
    list.AddTail(7);
    list.AddTail(8);
    EXPECT_EQ(Values(list), (std::vector<int32_t>{7, 8}));
    EXPECT_EQ(list.Pool().BlockCount(), 1);
}

TEST(LList, BlockSizeOfZeroOrBelowBecomesTen) {
    for (int32_t requested : {0, -5, 10}) {
        EXPECT_EQ(LList(requested).Pool().BlockSize(), 10) << requested;
    }
    EXPECT_EQ(LList(3).Pool().BlockSize(), 3);
}

TEST(LList, PrivateHeapHoldsManyBlocksAndGoesWithTheList) {
    LList list(4, true);
    for (int32_t i = 0; i < 1000; ++i) {
        list.AddTail(-i);
    }
    EXPECT_EQ(list.GetCount(), 1000);
    EXPECT_EQ(list.Pool().BlockCount(), 250);
    LPosition p = list.GetHeadPosition();
    for (int32_t i = 0; i < 1000; ++i) {
        ASSERT_EQ(list.GetNext(p), -i);
    }
    EXPECT_EQ(p, nullptr);
}

// On the 32-bit build, 0x15555556 nodes of 12 bytes and a link word come to 2^32 + 12
// bytes: wrapped round, a block of 12 bytes that the free chain would overrun.
TEST(LList, ABlockTooLargeForTheAddressSpaceFailsAsOutOfMemory) {
    if (sizeof(void*) > 4) {
        GTEST_SKIP() << "only the 32-bit build has block sizes that wrap";
    }
    LList list(0x15555556);
    EXPECT_THROW(list.AddTail(1), std::bad_alloc);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.Pool().BlockCount(), 0);
}

}  // namespace

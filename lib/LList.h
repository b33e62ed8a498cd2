#pragma once

#include <cstddef>
#include <cstdint>

#include "LNodePool.h"

struct LListNode {
    LListNode* next;
    LListNode* previous;
    int32_t value;
};

// An iteration cursor: the node it stands on, null once past the tail.
using LPosition = LListNode*;

// Doubly linked list of 32-bit values in insertion order, its nodes pooled in blocks.
class LList {
public:
    explicit LList(int32_t blockSize = 10, bool privateHeap = false);
    ~LList();
    LList(const LList&) = delete;
    LList& operator=(const LList&) = delete;

    LPosition AddTail(int32_t value);
    LPosition GetHeadPosition() const { return head_; }
    // The value at the position; the position moves to the next node.
    int32_t GetNext(LPosition& position) const;
    int32_t GetCount() const { return count_; }
    void RemoveAll();

    LPosition GetTailPosition() const { return tail_; }
    const LNodePool& Pool() const { return pool_; }

private:
    // The first block of a list's own heap.
    static constexpr std::size_t kPrivateHeapBytes = 1200;

    LListNode* head_ = nullptr;
    LListNode* tail_ = nullptr;
    int32_t count_ = 0;
    LNodePool pool_;
};

#pragma once

#include <cstddef>
#include <cstdint>

#include "LHeap.h"

// Hands out fixed-size nodes from blocks of several nodes, for LList and LMap.
// A block is one link word followed by its nodes, all zero when allocated; nodes
// are handed out in address order and are never given back one by one: memory
// returns to the heap only when every block is freed at once.
class LNodePool {
public:
    LNodePool(std::size_t nodeBytes, int32_t blockSize, bool privateHeap,
              std::size_t privateHeapBytes);
    ~LNodePool();
    LNodePool(const LNodePool&) = delete;
    LNodePool& operator=(const LNodePool&) = delete;

    // A zero-filled node; its first word chains it while it is spare.
    void* Take();
    // Frees every block; the pool can be used again.
    void FreeAll();

    LHeapHandle Heap() const { return heap_; }
    int32_t BlockSize() const { return blockSize_; }
    int32_t BlockCount() const;

private:
    struct Link {
        Link* next;
    };

    Link* freeChain_ = nullptr;
    Link* blockChain_ = nullptr;
    int32_t blockSize_;
    std::size_t nodeBytes_;
    LHeapHandle heap_;
    bool privateHeap_;
};

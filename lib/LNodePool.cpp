#include "LNodePool.h"

namespace {
constexpr int32_t kDefaultBlockSize = 10;
}

LNodePool::LNodePool(std::size_t nodeBytes, int32_t blockSize, bool privateHeap,
                     std::size_t privateHeapBytes)
    : blockSize_(blockSize > 0 ? blockSize : kDefaultBlockSize),
      nodeBytes_(nodeBytes),
      heap_(privateHeap ? LHeapCreate(privateHeapBytes) : LHeapProcess()),
      privateHeap_(privateHeap) {}

LNodePool::~LNodePool() {
    FreeAll();
    if (privateHeap_) {
        LHeapDestroy(heap_);
    }
}

void* LNodePool::Take() {
    if (freeChain_ == nullptr) {
        auto* block = static_cast<Link*>(LHeapAlloc(
            heap_, LHeapBytes(sizeof(Link), static_cast<std::size_t>(blockSize_), nodeBytes_)));
        block->next = blockChain_;
        blockChain_ = block;
        // Pushed from the last node to the first, so they come out in address order.
        char* nodes = reinterpret_cast<char*>(block + 1);
        for (int32_t i = blockSize_ - 1; i >= 0; --i) {
            auto* node = reinterpret_cast<Link*>(nodes + nodeBytes_ * static_cast<std::size_t>(i));
            node->next = freeChain_;
            freeChain_ = node;
        }
    }
    Link* node = freeChain_;
    freeChain_ = node->next;
    node->next = nullptr;
    return node;
}

void LNodePool::FreeAll() {
    freeChain_ = nullptr;
    while (blockChain_ != nullptr) {
        Link* block = blockChain_;
        blockChain_ = block->next;
        LHeapFree(heap_, block);
    }
}

int32_t LNodePool::BlockCount() const {
    int32_t count = 0;
    for (const Link* block = blockChain_; block != nullptr; block = block->next) {
        ++count;
    }
    return count;
}

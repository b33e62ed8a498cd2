#include "LHeap.h"

#include <cstdlib>
#include <cstring>
#include <new>

// The process heap hands out plain calloc blocks. A private heap puts a small
// header in front of each block and chains the blocks, so that destroying the
// heap can free whatever its owner left behind, as HeapDestroy does.
namespace {
// Aligned like malloc's own blocks, so the memory behind it is aligned too.
struct alignas(std::max_align_t) Header {
    Header* previous;
    Header* next;
};
}  // namespace

struct LHeapObject {
    bool isPrivate;
    Header* blocks;
};

namespace {
LHeapObject processHeap{false, nullptr};

void* Checked(void* block) {
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

std::size_t WithHeader(std::size_t bytes) {
    if (bytes > static_cast<std::size_t>(-1) - sizeof(Header)) {
        throw std::bad_alloc();
    }
    return bytes + sizeof(Header);
}

void Link(LHeapObject* heap, Header* header) {
    header->previous = nullptr;
    header->next = heap->blocks;
    if (heap->blocks != nullptr) {
        heap->blocks->previous = header;
    }
    heap->blocks = header;
}

void Unlink(LHeapObject* heap, Header* header) {
    if (header->previous != nullptr) {
        header->previous->next = header->next;
    } else {
        heap->blocks = header->next;
    }
    if (header->next != nullptr) {
        header->next->previous = header->previous;
    }
}
}  // namespace

LHeapHandle LHeapProcess() {
    return &processHeap;
}

LHeapHandle LHeapCreate(std::size_t /*initialBytes*/) {
    return new LHeapObject{true, nullptr};
}

void LHeapDestroy(LHeapHandle heap) {
    if (heap == nullptr || !heap->isPrivate) {
        return;
    }
    while (heap->blocks != nullptr) {
        Header* header = heap->blocks;
        heap->blocks = header->next;
        std::free(header);
    }
    delete heap;
}

void* LHeapAlloc(LHeapHandle heap, std::size_t bytes) {
    if (!heap->isPrivate) {
        return Checked(std::calloc(1, bytes == 0 ? 1 : bytes));
    }
    auto* header = static_cast<Header*>(Checked(std::calloc(1, WithHeader(bytes))));
    Link(heap, header);
    return header + 1;
}

void* LHeapReAlloc(LHeapHandle heap, void* block, std::size_t oldBytes, std::size_t newBytes) {
    if (block == nullptr) {
        return LHeapAlloc(heap, newBytes);
    }
    char* grown;
    if (!heap->isPrivate) {
        grown = static_cast<char*>(Checked(std::realloc(block, newBytes == 0 ? 1 : newBytes)));
    } else {
        Header* header = static_cast<Header*>(block) - 1;
        Unlink(heap, header);
        void* moved = std::realloc(header, WithHeader(newBytes));
        if (moved == nullptr) {
            Link(heap, header);  // the old block is still valid and still owned
            throw std::bad_alloc();
        }
        header = static_cast<Header*>(moved);
        Link(heap, header);
        grown = reinterpret_cast<char*>(header + 1);
    }
    if (newBytes > oldBytes) {
        std::memset(grown + oldBytes, 0, newBytes - oldBytes);
    }
    return grown;
}

void LHeapFree(LHeapHandle heap, void* block) {
    if (block == nullptr) {
        return;
    }
    if (!heap->isPrivate) {
        std::free(block);
        return;
    }
    Header* header = static_cast<Header*>(block) - 1;
    Unlink(heap, header);
    std::free(header);
}

#include "LHeap.h"

#include <windows.h>

// HEAP_GENERATE_EXCEPTIONS makes the heap raise STATUS_NO_MEMORY instead of
// returning null.
namespace {
constexpr DWORD kAllocFlags = HEAP_ZERO_MEMORY | HEAP_GENERATE_EXCEPTIONS;

HANDLE Native(LHeapHandle heap) {
    return reinterpret_cast<HANDLE>(heap);
}
}  // namespace

LHeapHandle LHeapProcess() {
    return reinterpret_cast<LHeapHandle>(GetProcessHeap());
}

LHeapHandle LHeapCreate(std::size_t initialBytes) {
    return reinterpret_cast<LHeapHandle>(HeapCreate(HEAP_GENERATE_EXCEPTIONS, initialBytes, 0));
}

void LHeapDestroy(LHeapHandle heap) {
    HeapDestroy(Native(heap));
}

void* LHeapAlloc(LHeapHandle heap, std::size_t bytes) {
    return HeapAlloc(Native(heap), kAllocFlags, bytes);
}

void* LHeapReAlloc(LHeapHandle heap, void* block, std::size_t /*oldBytes*/, std::size_t newBytes) {
    return HeapReAlloc(Native(heap), kAllocFlags, block, newBytes);
}

void LHeapFree(LHeapHandle heap, void* block) {
    HeapFree(Native(heap), 0, block);
}

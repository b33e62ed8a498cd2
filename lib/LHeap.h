#pragma once

#include <cstddef>

// The allocator under every string and container. Memory is always zero-filled,
// growth keeps the contents and zeroes the new part, and failure raises instead of
// returning null, so no caller ever tests for null.
struct LHeapObject;
using LHeapHandle = LHeapObject*;

// The heap that lives as long as the process.
LHeapHandle LHeapProcess();

// A private heap: destroying it releases everything still allocated from it.
LHeapHandle LHeapCreate(std::size_t initialBytes);
void LHeapDestroy(LHeapHandle heap);

void* LHeapAlloc(LHeapHandle heap, std::size_t bytes);
// oldBytes is the size the block was allocated with; the bytes past it come back zeroed.
void* LHeapReAlloc(LHeapHandle heap, void* block, std::size_t oldBytes, std::size_t newBytes);
void LHeapFree(LHeapHandle heap, void* block);

// The bytes of a header followed by count items of each bytes. A size that the
// address space cannot hold raises std::bad_alloc, as a failed allocation does,
// instead of wrapping round to a small block that the caller would overrun.
std::size_t LHeapBytes(std::size_t header, std::size_t count, std::size_t each);

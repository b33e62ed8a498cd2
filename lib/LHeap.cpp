#include "LHeap.h"

#include <limits>
#include <new>

std::size_t LHeapBytes(std::size_t header, std::size_t count, std::size_t each) {
    constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max();
    if (each != 0 && count > (kMax - header) / each) {
        throw std::bad_alloc();
    }
    return header + count * each;
}

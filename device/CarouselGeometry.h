#pragma once

#include <cstdint>

// Where each disc lies: a carousel holds 150 discs in slots 1 to 150, carousels are
// numbered by bank from 1 to 127, and disc N is in bank (N - 1) / 150 + 1, slot
// (N - 1) % 150 + 1.
namespace carousel {
constexpr int32_t kFirstSlot = 1;
constexpr int32_t kSlots = 150;
constexpr int32_t kLowestBank = 1;
constexpr int32_t kHighestBank = 127;
constexpr int32_t kHighestDisc = kHighestBank * kSlots;

constexpr bool IsBank(int32_t bank) {
    return bank >= kLowestBank && bank <= kHighestBank;
}
constexpr int32_t BankOf(int32_t disc) {
    return (disc - 1) / kSlots + 1;
}
constexpr int32_t SlotOf(int32_t disc) {
    return (disc - 1) % kSlots + 1;
}
constexpr int32_t FirstDiscOf(int32_t bank) {
    return (bank - 1) * kSlots + 1;
}
}  // namespace carousel

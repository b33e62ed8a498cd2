// The key decoder on arbitrary bytes: fed at once, or cut at every place the input's
// first byte picks, it gives the same keys, and it never leaves a code of a digit
// that the input does not hold as a byte of its own.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"
#include "detail/LKeyDecoder_posix.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t step = data[0] % 7 + 1;
    const auto* bytes = reinterpret_cast<const char*>(data + 1);
    const std::size_t count = size - 1;

    keyboard::KeyDecoder whole;
    std::vector<int32_t> wholeCodes;
    whole.Feed(bytes, count, wholeCodes);
    whole.Flush(wholeCodes);

    keyboard::KeyDecoder pieces;
    std::vector<int32_t> pieceCodes;
    for (std::size_t at = 0; at < count; at += step) {
        pieces.Feed(bytes + at, at + step <= count ? step : count - at, pieceCodes);
    }
    pieces.Flush(pieceCodes);
    FuzzCheck(wholeCodes == pieceCodes, "the same keys however the bytes arrive");

    std::size_t digits = 0;
    for (std::size_t at = 0; at < count; ++at) {
        digits += bytes[at] >= '0' && bytes[at] <= '9' ? 1 : 0;
    }
    std::size_t typed = 0;
    for (std::size_t at = 0; at < wholeCodes.size(); ++at) {
        const bool prefix =
            at + 1 < wholeCodes.size() &&
            (wholeCodes[at] == keyboard::kFunctionKey || wholeCodes[at] == keyboard::kExtendedKey);
        if (prefix) {
            ++at;  // a key without a character: its second code is no digit
        } else {
            typed += wholeCodes[at] >= '0' && wholeCodes[at] <= '9' ? 1 : 0;
        }
    }
    // The keypad's ESC O p to y are digits the input does not hold as bytes.
    std::size_t keypad = 0;
    for (std::size_t at = 0; at + 2 < count; ++at) {
        keypad += bytes[at + 2] >= 'p' && bytes[at + 2] <= 'y' ? 1 : 0;
    }
    FuzzCheck(typed <= digits + keypad, "no digit that no digit key sent");
    return 0;
}

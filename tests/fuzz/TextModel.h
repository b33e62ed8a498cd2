#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// How the program reads text, written plainly on std::u16string: the model the
// string and the disc list targets check the real code against.

// The text up to its first zero character, from index from on.
std::u16string ZeroEnded(const std::u16string& text, std::size_t from = 0);

bool ModelIsDigit(char16_t ch);
// Tab to carriage return, space, no-break space, and the Unicode separators above
// U+00FF.
bool ModelIsSpace(char16_t ch);

// The first run of ASCII digits in the zero-ended text, wrapped to 32 bits, negated
// when the nearest character before it that is not white space is a minus sign; 0
// without a digit.
int32_t ModelToInteger(const std::u16string& text);

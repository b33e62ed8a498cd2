#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "LString.h"

// Conversions at the edges of the program (arguments in, text out, paths):
// inside, all text is UTF-16. Unpaired surrogates and malformed bytes become U+FFFD.
std::string Utf8FromUtf16(const LChar* text, std::size_t length);
// A zero-terminated text; null gives the empty string.
std::string Utf8FromUtf16(const LChar* text);
std::u16string Utf16FromUtf8(const char* text, std::size_t length);
std::u16string Utf16FromUtf8(const char* text);
// A number in decimal digits, with a minus sign when negative.
std::u16string LDecimal(int64_t value);

// UTF-16 code units and code points. A surrogate pair is read as one code point,
// a lone surrogate as itself.
struct LCodePoint {
    char32_t value;
    std::size_t units;  // 1, or 2 for a pair
};
// The code point that starts at text[at], at < length.
LCodePoint CodePointAt(const LChar* text, std::size_t at, std::size_t length);
bool IsSurrogate(char32_t value);
// How many bytes the UTF-8 sequence that the byte leads takes: 2 to 4, or 1 for an
// ASCII byte and for a byte that leads no sequence.
std::size_t Utf8SequenceLength(unsigned char lead);
// Appends a code point below U+110000, as a pair when it needs one.
void AppendUtf16(std::u16string& out, char32_t value);

// Linux paths are bytes, and not always UTF-8 (a folder named in Latin-1, say). For
// paths only, bytes that are not UTF-8 travel as lone surrogates U+DC80..U+DCFF and
// come back as the same bytes, so that every path reaches the file system unchanged.
std::u16string Utf16FromPathBytes(const char* bytes, std::size_t length);
std::u16string Utf16FromPathBytes(const char* bytes);
std::string PathBytesFromUtf16(const LChar* path);

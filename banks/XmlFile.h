#pragma once

#include <cstdint>
#include <string>

// What the bank table file's bytes must be for the XML document to read them.

// A bank table holds a few kilobytes; a larger file than this is no bank table and
// is not read, so that no file can make the reader's tree exhaust the memory.
constexpr std::uint32_t kLargestXmlFile = 16u << 20;

// How deeply elements may nest, the root and 256 levels below it: libxml2's own
// limit, which the Linux build keeps, and the one the Windows build sets on the DOM.
constexpr std::int32_t kLargestXmlDepth = 257;

// Whether a document holds the character U+0000, which XML allows nowhere, in the
// encoding its first bytes show: a zero code unit of UTF-16 or UTF-32, or in any
// other encoding a zero byte.
bool HoldsNullCharacter(const std::string& bytes);

// At most this many attributes on one element, and declared in all by a document
// type: a bank table needs two, and parsers spend time in the square of the number.
constexpr std::int32_t kMostXmlAttributes = 256;

// Whether the parser may be given the bytes: false when one element carries more
// than kMostXmlAttributes attributes, when the document type declares more in all
// or refers to a parameter entity, or when the document names an encoding whose
// ASCII bytes need not be ASCII characters (UTF-7, EBCDIC). Counted on the bytes,
// before any parsing, the same way on both builds, in time linear in their length.
bool WithinMarkupLimits(const std::string& bytes);

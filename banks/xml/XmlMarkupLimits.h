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

// At most this many nodes in all: elements, attributes (those an attribute-list
// declaration adds included), comments, processing instructions, CDATA sections and
// entity references. A bank table of 127 Items has 382; the parsers' trees take
// memory and time for each node, and text between nodes is a node too.
constexpr std::int32_t kMostXmlNodes = 65536;

// At most this many characters of text that entity references stand for, all
// references together: a bank table needs none, and the DOM of the Windows build
// copies an entity's text for each reference without a bound of its own.
constexpr std::uint32_t kMostXmlEntityText = 1u << 20;

// Whether the parser may be given the bytes, decided the same way on both builds
// before any parsing, on the characters the parser reads, in time linear in their
// length. The document's first bytes and its XML declaration must agree on its
// encoding (a byte order mark of UTF-16 with a declaration of a one-byte encoding
// does not); a declared encoding must be one the platform converts and in which the
// characters of markup are the ASCII bytes they look like (not UTF-7 or EBCDIC).
// Then an element may carry at most kMostXmlAttributes attributes and nest at most
// kLargestXmlDepth deep, a document type may declare at most kMostXmlAttributes
// attributes in all and refer to no parameter entity, no entity may hold markup,
// and nodes and entity text stay within kMostXmlNodes and kMostXmlEntityText.
bool WithinMarkupLimits(const std::string& bytes);

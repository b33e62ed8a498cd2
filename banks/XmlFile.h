#pragma once

#include <cstdint>
#include <string>

#include "LString.h"

// The bank table file's bytes, in and out, for a path of any length the platform
// can open.

// A bank table holds a few kilobytes; a larger file than this is no bank table and
// is not read, so that no file can make the reader's tree exhaust the memory.
constexpr std::uint32_t kLargestXmlFile = 16u << 20;

// The whole file; false when it cannot be opened or read, or is larger than
// kLargestXmlFile.
bool ReadWholeFile(const LChar* path, std::string& bytes);

// Writes the bytes to a file beside the target, puts them on the disk and only then
// renames that file over the target, so that a failed save leaves the old file as it
// was.
bool ReplaceFile(const LChar* path, const std::string& bytes);

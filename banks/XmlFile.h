#pragma once

#include <cstdint>
#include <string>

#include "LString.h"

// The bank table file's bytes, in and out, for a path of any length the platform
// can open.

// A bank table holds a few kilobytes; a larger file than this is no bank table and
// is not read, so that no file can make the reader's tree exhaust the memory.
constexpr std::uint32_t kLargestXmlFile = 16u << 20;

// The whole file; false when it cannot be opened or read, is no regular file (a
// FIFO or a device is never opened, so nothing waits on it), or is larger than
// kLargestXmlFile.
bool ReadWholeFile(const LChar* path, std::string& bytes);

// Whether a document holds the character U+0000, which XML allows nowhere, in the
// encoding its first bytes show: a zero code unit of UTF-16 or UTF-32, or in any
// other encoding a zero byte.
bool HoldsNullCharacter(const std::string& bytes);

// How a save puts its file in place.
enum class FilePlacement {
    kReplace,       // over the file that is there, if any
    kOnlyIfAbsent,  // only where there is none: a file that appeared meanwhile stays
};

// The name of a save's temporary file beside the target: "<target>.<process>-<attempt>.new".
// A name that is taken (a file left by a run that was killed, or put there by
// someone else) is passed over for the next attempt's.
std::u16string TemporaryFileName(const LChar* path, std::uint32_t attempt);
constexpr std::uint32_t kTemporaryFileAttempts = 100;

// Writes the bytes to a temporary file of this save's own, created only where no
// file or link has the name, puts them on the disk and only then moves that file to
// the path. A failed save removes its temporary file and leaves everything else as
// it was.
bool SaveFile(const LChar* path, const std::string& bytes, FilePlacement placement);

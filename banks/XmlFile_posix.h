#pragma once

#include <string>

// The bank table file's bytes, in and out.

// The whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Writes the bytes to a file beside the target, puts them on the disk and only then
// renames that file over the target, so that a failed save leaves the old file as it
// was.
bool ReplaceFile(const std::string& path, const std::string& bytes);

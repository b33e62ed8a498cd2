#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "LString.h"
#include "TableFolder.h"

// Reading and saving the bank table in its folder: the steps of both, written once
// over the folder's operations.

// How a save puts its file in place.
enum class FilePlacement {
    kReplace,       // over the file that is there, if any
    kOnlyIfAbsent,  // only where there is none: a file that appeared meanwhile stays
};

// The name of a save's temporary file beside the table: "<name>.<process>-<attempt>.new".
// A name that is taken (a file left by a run that was killed, or put there by
// someone else) is passed over for the next attempt's.
std::u16string TemporaryFileName(const LChar* name, uint32_t attempt);
constexpr uint32_t kTemporaryFileAttempts = 100;

// A file that another program holds (a scanner, a lease) is tried again this often,
// for this long, before the operation fails.
constexpr uint32_t kHeldFileRetryMs = 50;
constexpr uint32_t kHeldFileWaitMs = 2000;

// The whole file of at most `largest` bytes, as TableFolder::Read gives it.
bool ReadTableFile(TableFolder& folder, const LChar* name, uint32_t largest, std::string& bytes);

// Whether the bytes a save wrote read back as the table meant.
using SavedFileCheck = std::function<bool(const std::string& written)>;

// Writes the bytes to a temporary file of this save's own, reads them back for the
// check, and only then moves that file to the name, as asked. A table that may not
// be written (read-only) is never replaced. A failed save removes its temporary
// file and leaves everything else as it was; an interrupt that comes meanwhile
// waits until one or the other is done.
bool SaveTableFile(TableFolder& folder, const LChar* name, const std::string& bytes,
                   FilePlacement placement, const SavedFileCheck& check);

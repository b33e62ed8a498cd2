#include "TableFile.h"

#include <algorithm>
#include <cstdint>

#include "LInterrupt.h"
#include "LProcess.h"
#include "LSleep.h"
#include "LUtf.h"

namespace {

// Runs the step, and again while another program holds its file, until the
// deadline on the clock or an interrupt.
template <typename Step>
FileStep WhileHeld(uint64_t deadline, Step step) {
    FileStep result = FileStep::kFailed;
    const uint64_t now = LTickCount();
    const uint32_t left = deadline > now ? static_cast<uint32_t>(deadline - now) : 0;
    LSleepFor(left, kHeldFileRetryMs, [&] {
        result = step();
        return result != FileStep::kHeld || interrupt::Waiting();
    });
    return result;
}

// Moves the complete temporary file to the name.
FileStep Place(TableFolder& folder, const std::u16string& temporary, const LChar* name,
               FilePlacement placement, uint64_t deadline) {
    const bool replace = placement == FilePlacement::kReplace;
    FileStep step =
        WhileHeld(deadline, [&] { return folder.Rename(temporary.c_str(), name, replace); });
    if (step != FileStep::kUnsupported) {
        return step;
    }
    // Neither a rename that never replaces nor a hard link: an empty file claims the
    // name, only where there is none, and the complete file then takes its place. A
    // crash in between leaves that empty file, which reads as no table.
    step = folder.CreateNew(name, std::string(), FileKeep{false, true, 0});
    if (step != FileStep::kDone) {
        return step;
    }
    step = WhileHeld(deadline, [&] { return folder.Rename(temporary.c_str(), name, true); });
    if (step != FileStep::kDone) {
        folder.Remove(name);
    }
    return step;
}

}  // namespace

std::u16string TemporaryFileName(const LChar* name, uint32_t attempt) {
    return std::u16string(name) + u"." + LDecimal(LProcessId()) + u"-" + LDecimal(attempt) +
           u".new";
}

bool ReadTableFile(TableFolder& folder, const LChar* name, uint32_t largest, std::string& bytes) {
    const uint64_t deadline = LTickCount() + kHeldFileWaitMs;
    return WhileHeld(deadline, [&] { return folder.Read(name, largest, bytes); }) ==
           FileStep::kDone;
}

bool SaveTableFile(TableFolder& folder, const LChar* name, const std::string& bytes,
                   FilePlacement placement, const SavedFileCheck& check) {
    const auto saving = interrupt::HoldOff();
    FileKeep keep{};
    if (folder.Keep(name, keep) != FileStep::kDone || !keep.writable ||
        (keep.exists && placement == FilePlacement::kOnlyIfAbsent)) {
        return false;
    }
    std::u16string temporary;
    FileStep created = FileStep::kExists;
    for (uint32_t attempt = 0; attempt < kTemporaryFileAttempts && created == FileStep::kExists;
         ++attempt) {
        temporary = TemporaryFileName(name, attempt);
        created = folder.CreateNew(temporary.c_str(), bytes, keep);
    }
    if (created != FileStep::kDone) {
        return false;
    }
    const uint64_t deadline = LTickCount() + kHeldFileWaitMs;
    // Read back as written: a file that came out longer is no file this save made.
    const auto size = static_cast<uint32_t>(std::min<std::size_t>(bytes.size(), UINT32_MAX));
    std::string written;
    const bool placed =
        WhileHeld(deadline, [&] { return folder.Read(temporary.c_str(), size, written); }) ==
            FileStep::kDone &&
        check(written) && Place(folder, temporary, name, placement, deadline) == FileStep::kDone;
    if (!placed) {
        // A program that holds the temporary file is waited out once more, also after
        // an interrupt, so that nothing is left behind.
        LSleepFor(kHeldFileWaitMs, kHeldFileRetryMs,
                  [&] { return folder.Remove(temporary.c_str()) != FileStep::kHeld; });
    }
    return placed;
}

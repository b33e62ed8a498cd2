#pragma once

#include <cstdint>
#include <string>

#include "LFileStatus.h"

// The platform services under the file status probe.

// Volume flags that decide how a full path is normalised.
constexpr uint32_t kLVolumeCasePreserved = 0x2;
constexpr uint32_t kLVolumeUnicodeOnDisk = 0x4;

// One directory entry as the platform's search reports it.
struct LFoundFile {
    uint32_t attributes;
    uint64_t size;
    // File system times (see LTimeFromFileTime); 0 where the file system keeps none.
    uint64_t creationTime;
    uint64_t accessTime;
    uint64_t writeTime;
    LChar name[kLMaxPath];  // the final name component as the directory stores it
};

// The full path of a name, however long, and where its final component starts (-1
// when the path ends with a separator); false when there is none.
bool LPlatformFullPath(const LChar* name, std::u16string& full, int32_t& finalComponent);

// The flags of the file system at a volume root; false when they cannot be read.
bool LPlatformVolumeFlags(const LChar* root, uint32_t& flags);

// Upper-cases a path in place, for file systems that do not keep the case of names.
void LPlatformUpperCase(LChar* text);

// Looks a name up in its directory, however long its path: kPresent with the entry,
// kAbsent when nothing is there, kUnknown when the platform could not look.
LFilePresence LPlatformFindFile(const LChar* name, LFoundFile& found);

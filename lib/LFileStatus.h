#pragma once

#include <cstdint>

#include "LString.h"

// Room for every path the probe handles, the terminating zero included.
constexpr int32_t kLMaxPath = 260;

// What the probe learns about one file. Times are seconds since 1970-01-01 UTC.
struct LFileStatus {
    // A file without a creation or access time gets its modification time there.
    int64_t creationTime;
    int64_t modificationTime;
    int64_t accessTime;
    uint32_t size;       // low 32 bits of the size in bytes
    uint8_t attributes;  // low 7 attribute bits: 0x01 read-only, 0x10 directory, 0x20 archive...
    LChar fullName[kLMaxPath];  // normalised full path; empty when it cannot be resolved
};

// Fills the record for a file or directory: 1 when it exists and was described, 0
// otherwise. A name that exists nowhere still gets its full name filled in. A full
// path longer than the record holds is no reason to fail: the file is looked up and
// described all the same, and only its full name stays empty.
int32_t LFileStatusProbe(const LChar* name, LFileStatus& record);

// What looking a name up told.
enum class LFilePresence { kAbsent, kPresent, kUnknown };

// The probe, telling "there is no such file" apart from "there is no telling":
// kUnknown when the platform could not look (no name, one it cannot take, a folder
// on the way that may not be searched, a volume out of reach, a failing disk). The
// record is filled as the probe fills it.
LFilePresence LFileStatusLookUp(const LChar* name, LFileStatus& record);

// The normalised full path of a name: 1 on success, 0 on failure. The buffer always
// holds a path afterwards (the given name, cut to fit, when no full path was found).
int32_t LFullPathName(LChar (&buffer)[kLMaxPath], const LChar* name);

// The root of the volume a path lies on: "C:\" for a drive path, "\\server\share\"
// for a network path, the path itself when it has no separator. Both the backslash
// and the slash separate. At most length - 1 characters and a zero are written.
void LVolumeRoot(const LChar* path, LChar* out, int32_t length);

// A file system time (100-nanosecond steps since 1601-01-01 UTC) as seconds since
// 1970-01-01 UTC, through the local calendar: 0 when the time cannot be converted or
// falls before 1900 in local time; the C library's -1 for times it cannot represent.
int64_t LTimeFromFileTime(uint64_t fileTime);

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>
#include <vector>

#include "LFileStatusPlatform.h"
#include "LUtf.h"

// Linux has no volume flags: every file system counts as keeping the case of names
// and storing them in Unicode, so the full path is the lexical absolute path.

namespace {

constexpr int64_t kTicksPerSecond = 10000000;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr int64_t kEpochDifference = 11644473600;

constexpr uint32_t kAttributeReadOnly = 0x01;
constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kAttributeArchive = 0x20;

// 0, "no time", for instants a file time cannot hold.
uint64_t FileTimeFrom(const timespec& time) {
    constexpr int64_t kLatest = std::numeric_limits<int64_t>::max() / kTicksPerSecond - 1;
    if (time.tv_sec < -kEpochDifference || time.tv_sec > kLatest - kEpochDifference) {
        return 0;
    }
    return static_cast<uint64_t>((time.tv_sec + kEpochDifference) * kTicksPerSecond +
                                 time.tv_nsec / 100);
}

// The absolute form of a path with "." and ".." resolved and repeated separators
// collapsed, without touching the file system (symbolic links stay as they are).
bool LexicalFullPath(const std::u16string& name, std::u16string& full, std::size_t& finalAt) {
    if (name.empty()) {
        return false;
    }
    std::u16string joined;
    if (name[0] != u'/') {
        char* directory = getcwd(nullptr, 0);
        if (directory == nullptr) {
            return false;
        }
        joined = Utf16FromPathBytes(directory);
        std::free(directory);
        joined += u'/';
    }
    joined += name;

    std::vector<std::u16string> parts;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t end = joined.find(u'/', start);
        if (end == std::u16string::npos) {
            end = joined.size();
        }
        std::u16string part = joined.substr(start, end - start);
        if (part == u"..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != u".") {
            parts.push_back(part);
        }
        start = end + 1;
    }

    full.clear();
    for (const auto& part : parts) {
        full += u'/';
        full += part;
    }
    finalAt = parts.empty() ? std::u16string::npos : full.size() - parts.back().size();
    // Like GetFullPathNameW, a name ending in a separator keeps it and has no final
    // component.
    if (parts.empty() || name.back() == u'/') {
        full += u'/';
        finalAt = std::u16string::npos;
    }
    return true;
}

}  // namespace

bool LPlatformFullPath(const LChar* name, std::u16string& full, int32_t& finalComponent) {
    std::size_t finalAt = 0;
    if (!LexicalFullPath(name, full, finalAt)) {
        return false;
    }
    finalComponent = finalAt == std::u16string::npos ? -1 : static_cast<int32_t>(finalAt);
    return true;
}

bool LPlatformVolumeFlags(const LChar*, uint32_t& flags) {
    flags = kLVolumeCasePreserved | kLVolumeUnicodeOnDisk;
    return true;
}

// Never asked for: the volume flags above say that names keep their case.
void LPlatformUpperCase(LChar*) {}

// Attributes as Wine derives them from the mode: directory or archive, read-only
// when nobody may write. Linux keeps no creation time, so it is reported as absent.
// Only a missing name, or a file where a folder should be, means there is no file:
// any other failure (a folder that may not be searched, a loop of links, a name too
// long, an I/O error) leaves it open. So does a link whose target cannot be reached
// (a share that is not mounted): the file may well be there.
LFilePresence LPlatformFindFile(const LChar* name, LFoundFile& found) {
    const std::string path = PathBytesFromUtf16(name);
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) {
            return LFilePresence::kUnknown;
        }
        return lstat(path.c_str(), &status) == 0 ? LFilePresence::kUnknown : LFilePresence::kAbsent;
    }
    found.attributes = S_ISDIR(status.st_mode) ? kAttributeDirectory : kAttributeArchive;
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        found.attributes |= kAttributeReadOnly;
    }
    found.size = static_cast<uint64_t>(status.st_size);
    found.creationTime = 0;
    found.accessTime = FileTimeFrom(status.st_atim);
    found.writeTime = FileTimeFrom(status.st_mtim);
    // The stored spelling is read only on volumes without Unicode names, and the
    // volume flags above say that every volume here has them.
    found.name[0] = 0;
    return LFilePresence::kPresent;
}

int64_t LTimeFromFileTime(uint64_t fileTime) {
    if (fileTime > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
        return 0;
    }
    // Whole seconds, rounded down like the dropped milliseconds of a calendar time.
    int64_t ticks = static_cast<int64_t>(fileTime) - kEpochDifference * kTicksPerSecond;
    int64_t seconds = ticks / kTicksPerSecond;
    if (ticks % kTicksPerSecond < 0) {
        --seconds;
    }
    auto instant = static_cast<time_t>(seconds);
    std::tm local;
    if (localtime_r(&instant, &local) == nullptr || local.tm_year < 0) {
        return 0;
    }
    local.tm_isdst = -1;
    return mktime(&local);
}

#include "LFileStatus.h"

#include <string>

#include "LFileStatusPlatform.h"

namespace {

constexpr uint8_t kAttributeMask = 0x7F;

bool IsSeparator(LChar ch) {
    return ch == u'\\' || ch == u'/';
}

// Copies at most capacity - 1 characters and a zero, as lstrcpynW does.
void CopyBounded(LChar* to, const LChar* from, int32_t capacity) {
    int32_t i = 0;
    if (from != nullptr) {
        for (; i < capacity - 1 && from[i] != 0; ++i) {
            to[i] = from[i];
        }
    }
    to[i] = 0;
}

// The index just past the next separator at or after `at`, or -1 when the text ends
// first.
int32_t PastNextSeparator(const LChar* text, int32_t at) {
    for (; text[at] != 0; ++at) {
        if (IsSeparator(text[at])) {
            return at + 1;
        }
    }
    return -1;
}

// "\\?\UNC\", in either case and with either separator.
bool IsLongUncPath(const LChar* text) {
    const LChar kUnc[] = u"unc";
    if (!IsSeparator(text[0]) || !IsSeparator(text[1]) || text[2] != u'?' ||
        !IsSeparator(text[3])) {
        return false;
    }
    for (int i = 0; i < 3; ++i) {
        if ((text[4 + i] | 0x20) != kUnc[i]) {
            return false;
        }
    }
    return IsSeparator(text[7]);
}

}  // namespace

void LVolumeRoot(const LChar* path, LChar* out, int32_t length) {
    if (length <= 0) {
        return;
    }
    CopyBounded(out, path, length);
    int32_t end;
    if (IsSeparator(out[0]) && IsSeparator(out[1])) {
        // \\server\share\, or in the long form \\?\UNC\server\share\: past the server
        // name, then past the share name. (\\?\C:\ comes out whole the same way.)
        end = PastNextSeparator(out, IsLongUncPath(out) ? 8 : 2);
        if (end >= 0) {
            end = PastNextSeparator(out, end);
        }
    } else {
        end = PastNextSeparator(out, 0);
    }
    // `end` lies inside the copy, so the zero lands inside the buffer.
    if (end >= 0) {
        out[end] = 0;
    }
}

namespace {

// The full path of a name, however long, normalised as its volume asks. False when
// the name has no full path (`full` is then empty) or the volume's flags cannot be
// read (`full` then holds the path as the platform gave it).
bool NormalisedFullPath(const LChar* name, std::u16string& full) {
    int32_t finalComponent = -1;
    // No name has no full path; the platform's path functions are not asked.
    if (name == nullptr || !LPlatformFullPath(name, full, finalComponent)) {
        full.clear();
        return false;
    }
    LChar root[kLMaxPath];
    LVolumeRoot(full.c_str(), root, kLMaxPath);
    uint32_t flags = 0;
    if (!LPlatformVolumeFlags(root, flags)) {
        return false;
    }
    if ((flags & kLVolumeCasePreserved) == 0) {
        LPlatformUpperCase(full.data());
    }
    // Without Unicode names on disk the name given may differ from the stored one;
    // the directory's spelling wins. A path ending in a separator has no final name.
    LFoundFile found;
    if ((flags & kLVolumeUnicodeOnDisk) == 0 && finalComponent >= 0 &&
        LPlatformFindFile(name, found) == LFilePresence::kPresent) {
        full.replace(static_cast<std::size_t>(finalComponent), std::u16string::npos, found.name);
    }
    return true;
}

bool Fits(const std::u16string& path) {
    return path.size() < static_cast<std::size_t>(kLMaxPath);
}

}  // namespace

int32_t LFullPathName(LChar (&buffer)[kLMaxPath], const LChar* name) {
    std::u16string full;
    const bool normalised = NormalisedFullPath(name, full);
    if (full.empty() || !Fits(full)) {
        CopyBounded(buffer, name, kLMaxPath);
        return 0;
    }
    CopyBounded(buffer, full.c_str(), kLMaxPath);
    return normalised ? 1 : 0;
}

LFilePresence LFileStatusLookUp(const LChar* name, LFileStatus& record) {
    std::u16string full;
    const bool normalised = NormalisedFullPath(name, full);
    // The full name is left empty where it is not known for sure or does not fit.
    CopyBounded(record.fullName, normalised && Fits(full) ? full.c_str() : u"", kLMaxPath);
    if (full.empty()) {
        return LFilePresence::kUnknown;
    }
    // The name as given: the full name may have been upper-cased or respelt.
    LFoundFile found;
    const LFilePresence presence = LPlatformFindFile(name, found);
    if (presence == LFilePresence::kAbsent && !normalised) {
        // A volume whose information cannot be read (a share out of reach) is in
        // doubt as a whole: that nothing was found there proves nothing.
        return LFilePresence::kUnknown;
    }
    if (presence != LFilePresence::kPresent) {
        return presence;
    }
    record.attributes = static_cast<uint8_t>(found.attributes & kAttributeMask);
    record.size = static_cast<uint32_t>(found.size);
    record.creationTime = LTimeFromFileTime(found.creationTime);
    record.accessTime = LTimeFromFileTime(found.accessTime);
    record.modificationTime = LTimeFromFileTime(found.writeTime);
    if (record.creationTime == 0) {
        record.creationTime = record.modificationTime;
    }
    if (record.accessTime == 0) {
        record.accessTime = record.modificationTime;
    }
    return LFilePresence::kPresent;
}

int32_t LFileStatusProbe(const LChar* name, LFileStatus& record) {
    return LFileStatusLookUp(name, record) == LFilePresence::kPresent ? 1 : 0;
}

#include <windows.h>

#include <ctime>
#include <string>

#include "LDateTime.h"
#include "LFileStatusPlatform.h"
#include "LPath.h"

namespace {

wchar_t* Wide(LChar* text) {
    return reinterpret_cast<wchar_t*>(text);
}

const wchar_t* Wide(const LChar* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

uint64_t Ticks(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// FindFirstFileW would take these as a pattern and report some other file. The "?"
// of a long path's prefix (\\?\C:\..., as a program started so is told its own path)
// is none.
bool HasWildcard(const LChar* name) {
    if (name[0] == u'\\' && name[1] == u'\\' && (name[2] == u'?' || name[2] == u'.') &&
        name[3] == u'\\') {
        name += 4;
    }
    for (; *name != 0; ++name) {
        if (*name == u'*' || *name == u'?') {
            return true;
        }
    }
    return false;
}

// A link or junction whose target is missing or out of reach: opening it follows it
// to the target.
bool TargetUnreachable(const std::u16string& reparsePoint) {
    HANDLE target = CreateFileW(Wide(reparsePoint.c_str()), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (target == INVALID_HANDLE_VALUE) {
        return true;
    }
    CloseHandle(target);
    return false;
}

}  // namespace

bool LPlatformFullPath(const LChar* name, std::u16string& full, int32_t& finalComponent) {
    // Asked with no room, it answers with the room the path needs, terminator included.
    const DWORD size = GetFullPathNameW(Wide(name), 0, nullptr, nullptr);
    if (size == 0) {
        return false;
    }
    full.assign(size, u'\0');
    wchar_t* filePart = nullptr;
    const DWORD length = GetFullPathNameW(Wide(name), size, Wide(full.data()), &filePart);
    if (length == 0 || length >= size) {
        return false;
    }
    finalComponent = filePart != nullptr ? static_cast<int32_t>(filePart - Wide(full.data())) : -1;
    full.resize(length);
    return true;
}

bool LPlatformVolumeFlags(const LChar* root, uint32_t& flags) {
    DWORD value = 0;
    if (!GetVolumeInformationW(Wide(root), nullptr, 0, nullptr, nullptr, &value, nullptr, 0)) {
        return false;
    }
    flags = value;
    return true;
}

void LPlatformUpperCase(LChar* text) {
    CharUpperW(Wide(text));
}

// Only a missing name or folder means there is no file: any other failure (access
// denied, a share out of reach, a device not ready) leaves it open, and so does a
// link whose target cannot be reached: the file may well be there.
LFilePresence LPlatformFindFile(const LChar* name, LFoundFile& found) {
    if (HasWildcard(name)) {
        return LFilePresence::kAbsent;
    }
    WIN32_FIND_DATAW entry;
    const std::u16string reachable = LLongPathForm(name);
    HANDLE search = FindFirstFileW(Wide(reachable.c_str()), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? LFilePresence::kAbsent
                   : LFilePresence::kUnknown;
    }
    FindClose(search);
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
        TargetUnreachable(reachable)) {
        return LFilePresence::kUnknown;
    }
    found.attributes = entry.dwFileAttributes;
    found.size = (static_cast<uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
    found.creationTime = Ticks(entry.ftCreationTime);
    found.accessTime = Ticks(entry.ftLastAccessTime);
    found.writeTime = Ticks(entry.ftLastWriteTime);
    lstrcpynW(Wide(found.name), entry.cFileName, kLMaxPath);
    return LFilePresence::kPresent;
}

int64_t LTimeFromFileTime(uint64_t fileTime) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(fileTime);
    time.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
    SYSTEMTIME universal;
    SYSTEMTIME local;
    // FileTimeToLocalFileTime would apply today's daylight-saving offset to every
    // date, putting half the year's times an hour off; this applies the date's own.
    if (!FileTimeToSystemTime(&time, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
        return 0;
    }
    if (local.wYear < 1900) {
        return 0;
    }
    // mktime reads neither the day of the week nor that of the year.
    std::tm calendar = TmFromParts(
        {local.wSecond, local.wMinute, local.wHour, local.wDay, local.wMonth, local.wYear, 1, 1});
    calendar.tm_isdst = -1;
    return _mktime64(&calendar);
}

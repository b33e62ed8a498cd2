#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "LFileStatus.h"

namespace fs = std::filesystem;

namespace {

FILETIME FileTimeFrom(uint64_t ticks) {
    return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

uint64_t Ticks(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

HANDLE OpenForWriting(const fs::path& file) {
    return CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

bool SetFileTimes(const fs::path& file, uint64_t access, uint64_t write) {
    HANDLE handle = OpenForWriting(file);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    const FILETIME given[2] = {FileTimeFrom(access), FileTimeFrom(write)};
    FILETIME kept[2];
    bool done = SetFileTime(handle, nullptr, &given[0], &given[1]) &&
                GetFileTime(handle, nullptr, &kept[0], &kept[1]) &&
                Ticks(kept[0]) / 10000000 == access / 10000000 &&
                Ticks(kept[1]) / 10000000 == write / 10000000;
    CloseHandle(handle);
    return done;
}

bool MakeSparseFile(const fs::path& file, uint64_t size) {
    HANDLE handle = OpenForWriting(file);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    bool done = SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) && SetEndOfFile(handle);
    CloseHandle(handle);
    return done;
}

namespace {

// Wine's drives, like FAT, report names as not stored in Unicode: the final name
// component then takes the directory's spelling.
TEST(LFileStatusProbeWin32, FinalComponentTakesTheStoredSpellingWithoutUnicodeNames) {
    fs::path dir =
        fs::temp_directory_path() / ("kavro-case-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(dir / "Sub");
    std::ofstream(dir / "Sub" / "Kavro.XML") << "x";
    DWORD flags = 0;
    wchar_t root[kLMaxPath];
    LVolumeRoot(reinterpret_cast<const LChar*>(dir.c_str()), reinterpret_cast<LChar*>(root),
                kLMaxPath);
    ASSERT_TRUE(GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0));
    if ((flags & FILE_UNICODE_ON_DISK) != 0 || (flags & FILE_CASE_PRESERVED_NAMES) == 0) {
        fs::remove_all(dir);
        GTEST_SKIP() << "only volumes that keep case without Unicode names respell";
    }
    LFileStatus record{};
    EXPECT_EQ(LFileStatusProbe((dir / "sub" / "kavro.xml").u16string().c_str(), record), 1);
    EXPECT_EQ(std::u16string(record.fullName), (dir / "sub" / "Kavro.XML").u16string());
    fs::remove_all(dir);
}

// A program started through its long path is told its own path in that form, and
// finds its table there like anywhere else.
TEST(LFileStatusProbeWin32, FindsAFileByItsLongPath) {
    const fs::path dir =
        fs::temp_directory_path() / ("kavro-long-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(dir);
    std::ofstream(dir / "Kavro.xml") << "x";
    const std::u16string longPath = u"\\\\?\\" + fs::absolute(dir / "Kavro.xml").u16string();
    LFileStatus record{};
    EXPECT_EQ(LFileStatusLookUp(longPath.c_str(), record), LFilePresence::kPresent);
    EXPECT_EQ(record.size, 1u);
    EXPECT_EQ(LFileStatusLookUp((longPath + u"-missing").c_str(), record), LFilePresence::kAbsent);
    fs::remove_all(dir);
}

// A share out of reach may well hold the file: there is no telling.
TEST(LFileStatusProbeWin32, UnreachableVolumeCannotTellAndHasAnEmptyName) {
    LFileStatus record{};
    EXPECT_EQ(LFileStatusLookUp(u"\\\\kavro-no-such-server\\share\\Kavro.xml", record),
              LFilePresence::kUnknown);
    EXPECT_EQ(record.fullName[0], 0);
    EXPECT_EQ(LFileStatusProbe(u"\\\\kavro-no-such-server\\share\\Kavro.xml", record), 0);
}

}  // namespace

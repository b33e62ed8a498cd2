#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "LFileStatus.h"
#include "LUtf.h"

namespace fs = std::filesystem;

namespace {

timespec TimespecFrom(uint64_t fileTime) {
    auto ticks = static_cast<int64_t>(fileTime) - 116444736000000000;
    return {static_cast<time_t>(ticks / 10000000), static_cast<long>(ticks % 10000000 * 100)};
}

}  // namespace

bool SetFileTimes(const fs::path& file, uint64_t access, uint64_t write) {
    const timespec times[2] = {TimespecFrom(access), TimespecFrom(write)};
    struct stat status;
    return utimensat(AT_FDCWD, file.c_str(), times, 0) == 0 && stat(file.c_str(), &status) == 0 &&
           status.st_atim.tv_sec == times[0].tv_sec && status.st_mtim.tv_sec == times[1].tv_sec;
}

bool MakeSparseFile(const fs::path& file, uint64_t size) {
    return truncate(file.c_str(), static_cast<off_t>(size)) == 0;
}

namespace {

TEST(LFullPathNamePosix, ResolvesDotsAndRepeatedSlashesLexically) {
    const struct {
        const char16_t* name;
        std::u16string full;
    } cases[] = {
        {u"/a//b/./c", u"/a/b/c"}, {u"/a/b/..", u"/a"},  {u"/../x", u"/x"},
        {u"//x/y", u"/x/y"},       {u"/a/b/", u"/a/b/"}, {u"/", u"/"},
    };
    for (const auto& c : cases) {
        LChar buffer[kLMaxPath];
        EXPECT_EQ(LFullPathName(buffer, c.name), 1) << std::string(c.full.begin(), c.full.end());
        EXPECT_EQ(std::u16string(buffer), c.full);
    }
    LChar buffer[kLMaxPath];
    EXPECT_EQ(LFullPathName(buffer, u""), 0);
    EXPECT_EQ(buffer[0], 0);
}

// Linux keeps no creation time.
TEST(LFileStatusProbePosix, CreationTimeIsTheModificationTime) {
    fs::path file = fs::temp_directory_path() / ("kavro-status-" + std::to_string(getpid()));
    close(open(file.c_str(), O_CREAT | O_WRONLY, 0644));
    ASSERT_TRUE(SetFileTimes(file, 116444736000000000 + 10000000, 130000000000000000));
    LFileStatus record{};
    EXPECT_EQ(LFileStatusProbe(file.u16string().c_str(), record), 1);
    EXPECT_EQ(record.modificationTime, 1355526400);
    EXPECT_EQ(record.creationTime, 1355526400);
    EXPECT_EQ(record.accessTime, 1);
    fs::remove(file);
}

// Only a missing name means there is no file; where the look-up itself fails, or a
// link leads nowhere, the probe cannot tell.
TEST(LFileStatusLookUpPosix, FailedLookUpsCannotTell) {
    const fs::path dir = fs::temp_directory_path() / ("kavro-lookup-" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::create_directory_symlink("loop", dir / "loop");  // a link to itself
    std::ofstream(dir / "file") << "x";
    fs::create_symlink("file", dir / "link");
    fs::create_symlink("/nonexistent/share/Kavro.xml", dir / "dangling");
    std::ofstream(dir / "caf\xE9.xml") << "x";  // a Latin-1 name, not UTF-8
    const struct {
        fs::path name;
        LFilePresence presence;
    } cases[] = {
        {dir / "link", LFilePresence::kPresent},
        {dir / "caf\xE9.xml", LFilePresence::kPresent},
        {dir / "caf\xC3\xA9.xml", LFilePresence::kAbsent},  // the same name in UTF-8
        {dir / "dangling", LFilePresence::kUnknown},
        {dir / "loop" / "Kavro.xml", LFilePresence::kUnknown},
        {dir / std::string(300, 'n'), LFilePresence::kUnknown},  // longer than a name may be
        {dir / "file" / "Kavro.xml", LFilePresence::kAbsent},    // a file where a folder should be
        {dir / "missing" / "Kavro.xml", LFilePresence::kAbsent},
    };
    for (const auto& c : cases) {
        LFileStatus record{};
        EXPECT_EQ(LFileStatusLookUp(Utf16FromPathBytes(c.name.c_str()).c_str(), record), c.presence)
            << c.name;
    }
    fs::remove_all(dir);
}

}  // namespace

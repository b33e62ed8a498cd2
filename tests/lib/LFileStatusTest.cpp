#include "LFileStatus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>

#include "LPath.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

// Per platform, in LFileStatusTest_<platform>.cpp. Both return false where the file
// system cannot do it (the time is not kept as given; no cheap sparse file).
bool SetFileTimes(const fs::path& file, uint64_t access, uint64_t write);
bool MakeSparseFile(const fs::path& file, uint64_t size);

namespace {

constexpr uint64_t FileTime(int64_t unixSeconds) {
    return static_cast<uint64_t>(unixSeconds + 11644473600) * 10000000;
}
constexpr int64_t kWinterNoon = 1610712000;  // 2021-01-15 12:00:00 UTC
constexpr int64_t kSummerNoon = 1626350400;  // 2021-07-15 12:00:00 UTC

// Backslashes become the platform's separator.
std::u16string P(std::u16string path) {
    for (auto& ch : path) {
        if (ch == u'\\') {
            ch = kPathSeparator;
        }
    }
    return path;
}

TEST(LVolumeRoot, CutsAfterTheDriveOrTheShareAndNeverPastTheBuffer) {
    struct Case {
        const char16_t* path;
        int32_t length;
        std::u16string root;
    };
    const Case cases[] = {
        {u"C:\\dir\\file", 260, u"C:\\"},
        {u"C:/dir", 260, u"C:/"},
        {u"\\\\server\\share\\dir\\f", 260, u"\\\\server\\share\\"},
        {u"\\\\server\\share", 260, u"\\\\server\\share"},
        {u"\\\\server", 260, u"\\\\server"},
        {u"//server/share/x", 260, u"//server/share/"},
        {u"/home/user/f", 260, u"/"},
        {u"C:\\dir\\\\x\\y\\z", 260, u"C:\\"},  // only a leading pair makes a share
        // The long forms that a program's own path may come in.
        {u"\\\\?\\C:\\dir\\f", 260, u"\\\\?\\C:\\"},
        {u"\\\\?\\UNC\\server\\share\\dir", 260, u"\\\\?\\UNC\\server\\share\\"},
        {u"\\\\?\\unc\\server", 260, u"\\\\?\\unc\\server"},
        {u"file.txt", 260, u"file.txt"},
        {u"", 260, u""},
        {u"\\\\server\\share\\dir", 5, u"\\\\se"},
        {u"C:\\dir", 3, u"C:"},
        {u"C:\\dir", 1, u""},
    };
    for (const auto& c : cases) {
        char16_t out[262];
        std::fill(std::begin(out), std::end(out), u'#');
        LVolumeRoot(c.path, out + 1, c.length);
        EXPECT_EQ(std::u16string(out + 1), c.root) << "length " << c.length;
        EXPECT_EQ(out[0], u'#');
        EXPECT_EQ(out[1 + c.length], u'#') << "length " << c.length;
    }
    char16_t untouched = u'#';
    LVolumeRoot(u"C:\\", &untouched, 0);
    EXPECT_EQ(untouched, u'#');
}

TEST(LTimeFromFileTime, ConvertsToUtcSecondsAndRejectsTimesBefore1900) {
    const struct {
        uint64_t fileTime;
        int64_t seconds;
    } cases[] = {
        {FileTime(kWinterNoon), kWinterNoon},
        // A daylight-saving date converts by its own offset, whatever today's is.
        {FileTime(kSummerNoon), kSummerNoon},
        {FileTime(kSummerNoon) + 9999999, kSummerNoon},  // fractions are dropped
        {0, 0},                                          // 1601
        {FileTime(-3786825600), 0},                      // 1850-01-01
        {0x8000000000000000u, 0},                        // beyond any calendar
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LTimeFromFileTime(c.fileTime), c.seconds) << c.fileTime;
    }
}

class LFileStatusProbeTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = fs::current_path();
        std::random_device random;
        dir_ = fs::temp_directory_path() / ("kavro-status-" + std::to_string(random()));
        ASSERT_TRUE(fs::create_directories(dir_ / "sub"));
        std::ofstream(file_ = dir_ / u"K\u00E4vro \u65E5.xml", std::ios::binary) << "hello";
    }
    void TearDown() override {
        fs::current_path(saved_);
        std::error_code ignored;
        fs::permissions(file_, fs::perms::owner_all, ignored);
        fs::remove_all(dir_, ignored);
    }

    fs::path saved_, dir_, file_;
};

TEST_F(LFileStatusProbeTest, DescribesFilesAndDirectories) {
    ASSERT_TRUE(SetFileTimes(file_, FileTime(kWinterNoon), FileTime(kSummerNoon)));
    LFileStatus record{};
    ASSERT_EQ(LFileStatusProbe(file_.u16string().c_str(), record), 1);
    EXPECT_EQ(std::u16string(record.fullName), file_.u16string());
    EXPECT_EQ(record.size, 5u);
    EXPECT_EQ(record.attributes, 0x20);
    EXPECT_EQ(record.modificationTime, kSummerNoon);
    EXPECT_EQ(record.accessTime, kWinterNoon);
    EXPECT_NE(record.creationTime, 0);

    fs::permissions(file_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ASSERT_EQ(LFileStatusProbe(file_.u16string().c_str(), record), 1);
    EXPECT_EQ(record.attributes, 0x21);

    ASSERT_EQ(LFileStatusProbe((dir_ / "sub").u16string().c_str(), record), 1);
    EXPECT_EQ(std::u16string(record.fullName), (dir_ / "sub").u16string());
    EXPECT_EQ(record.attributes & 0x10, 0x10);
}

TEST_F(LFileStatusProbeTest, MissingOrPatternNamesAreNotFoundButGetTheirFullName) {
    for (const char16_t* name : {u"missing.xml", u"*.xml", u"K?vro \u65E5.xml"}) {
        LFileStatus record{};
        record.size = 77;
        record.modificationTime = 77;
        EXPECT_EQ(LFileStatusProbe((dir_ / name).u16string().c_str(), record), 0);
        EXPECT_EQ(std::u16string(record.fullName), (dir_ / name).u16string());
        EXPECT_EQ(record.size, 77u);
        EXPECT_EQ(record.modificationTime, 77);
    }
}

TEST(LFileStatusProbe, NoNameOrAnEmptyOneIsNotFoundAndHasNoFullName) {
    for (const LChar* name : {static_cast<const LChar*>(nullptr), u""}) {
        LFileStatus record{};
        record.fullName[0] = u'x';
        record.size = 77;
        EXPECT_EQ(LFileStatusProbe(name, record), 0);
        EXPECT_EQ(record.fullName[0], 0);
        EXPECT_EQ(record.size, 77u);
        LChar buffer[kLMaxPath] = {u'x'};
        EXPECT_EQ(LFullPathName(buffer, name), 0);
        EXPECT_EQ(buffer[0], 0);
    }
}

TEST_F(LFileStatusProbeTest, RelativeNamesResolveAgainstTheCurrentDirectory) {
    fs::current_path(dir_ / "sub");
    for (const char16_t* name : {u"..\\K\u00E4vro \u65E5.xml", u".\\..\\K\u00E4vro \u65E5.xml",
                                 u"..\\sub\\\\..\\K\u00E4vro \u65E5.xml"}) {
        LFileStatus record{};
        EXPECT_EQ(LFileStatusProbe(P(name).c_str(), record), 1);
        EXPECT_EQ(std::u16string(record.fullName), file_.u16string());
    }
}

TEST_F(LFileStatusProbeTest, AccessTimeThatConvertsToZeroTakesTheModificationTime) {
    if (LTimeFromFileTime(FileTime(0)) != 0) {
        GTEST_SKIP() << "the C library gives -1 for 1970-01-01 in local time west of UTC";
    }
    ASSERT_TRUE(SetFileTimes(file_, FileTime(0), FileTime(kSummerNoon)));
    LFileStatus record{};
    ASSERT_EQ(LFileStatusProbe(file_.u16string().c_str(), record), 1);
    EXPECT_EQ(record.accessTime, kSummerNoon);
}

TEST_F(LFileStatusProbeTest, SizeHoldsTheLowBitsOfALargeFile) {
    if (!MakeSparseFile(file_, 0x100000000u + 123)) {
        GTEST_SKIP() << "no sparse files here";
    }
    LFileStatus record{};
    ASSERT_EQ(LFileStatusProbe(file_.u16string().c_str(), record), 1);
    EXPECT_EQ(record.size, 123u);
}

// A folder deeper than the record's full name can hold: what is in it is found and
// described all the same, and only the full name stays empty.
TEST_F(LFileStatusProbeTest, FullPathsLongerThanTheRecordAreLookedUpAllTheSame) {
    const fs::path deep = DeepFolder(dir_, 300);
    ASSERT_FALSE(deep.empty());
    std::ofstream(deep / "Kavro.xml", std::ios::binary) << "hello";
    const struct {
        fs::path name;
        LFilePresence presence;
    } cases[] = {
        {deep / "Kavro.xml", LFilePresence::kPresent},
        {deep / "missing.xml", LFilePresence::kAbsent},
        {deep / "missing" / "Kavro.xml", LFilePresence::kAbsent},
    };
    for (const auto& c : cases) {
        LFileStatus record{};
        record.fullName[0] = u'x';
        EXPECT_EQ(LFileStatusLookUp(c.name.u16string().c_str(), record), c.presence) << c.name;
        EXPECT_EQ(record.fullName[0], 0);
    }
    LFileStatus record{};
    ASSERT_EQ(LFileStatusProbe((deep / "Kavro.xml").u16string().c_str(), record), 1);
    EXPECT_EQ(record.size, 5u);
}

TEST_F(LFileStatusProbeTest, OverlongPathsFailWithoutOverrunningTheBuffer) {
    fs::current_path(dir_);
    const std::u16string names[] = {std::u16string(300, u'a'), std::u16string(255, u'b')};
    for (const auto& name : names) {
        LFileStatus record{};
        EXPECT_EQ(LFileStatusProbe(name.c_str(), record), 0);
        EXPECT_EQ(record.fullName[0], 0);

        // Exactly 260 characters on the heap, so that a sanitizer sees any overrun.
        auto storage = std::make_unique<LChar[]>(kLMaxPath);
        auto& buffer = *reinterpret_cast<LChar(*)[kLMaxPath]>(storage.get());
        EXPECT_EQ(LFullPathName(buffer, name.c_str()), 0);
        EXPECT_EQ(std::u16string(buffer), name.substr(0, kLMaxPath - 1));
    }
}

}  // namespace

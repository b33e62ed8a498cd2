#include "LLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "LPath.h"
#include "TextHelpers.h"

namespace {

namespace fs = std::filesystem;

// Paths are written with backslashes and given the platform's separator.
std::u16string P(std::u16string path) {
    for (auto& ch : path) {
        if (ch == u'\\') {
            ch = kPathSeparator;
        }
    }
    return path;
}

std::u16string DateName(const LDateTime& time) {
    return Text(time.Format(u"%Y-%m-%d.log"));
}

TEST(LLogPath, DefaultNameIsTheCreationDate) {
    std::u16string before = DateName(LDateTime::GetCurrentTime());
    LLog log;
    std::u16string after = DateName(LDateTime::GetCurrentTime());

    ASSERT_EQ(log.GetCreationTime().GetStatus(), LDateTime::kValid);
    std::u16string name = DateName(log.GetCreationTime());
    EXPECT_EQ(Text(log.GetPath()), name);
    EXPECT_TRUE(name == before || name == after) << std::string(name.begin(), name.end());
    EXPECT_EQ(name.size(), 14u);

    EXPECT_TRUE(log.SetPath(P(u"C:\\prog\\").c_str()));
    EXPECT_EQ(Text(log.GetPath()), P(u"C:\\prog\\") + name);
    for (const auto* again : {u"C:\\prog", u"c:\\PROG\\", u"C:\\prog\\"}) {
        EXPECT_TRUE(log.SetPath(P(again).c_str()));
        EXPECT_EQ(Text(log.GetPath()), P(u"C:\\prog\\") + name);
    }
    EXPECT_FALSE(log.IsFileOpen());
}

TEST(LLogPath, DirectoryWithoutANameGetsTheDateName) {
    LLog log(P(u"C:\\logs").c_str());
    EXPECT_EQ(Text(log.GetPath()), P(u"C:\\logs\\") + DateName(log.GetCreationTime()));
}

struct PathCase {
    const char16_t* directory;  // given at construction
    const char16_t* target;     // given to SetPath, if any
    std::u16string expected;
};

// No file is open, so only the text changes and every SetPath succeeds.
TEST(LLogPath, PutsTheFileNameInTheDirectory) {
    const PathCase cases[] = {
        {u"C:\\logs", nullptr, u"C:\\logs\\run.log"},
        {u"C:\\logs\\", nullptr, u"C:\\logs\\run.log"},
        {nullptr, nullptr, u"run.log"},
        {u"", nullptr, u"run.log"},
        {nullptr, u"C:\\prog\\", u"C:\\prog\\run.log"},
        {nullptr, u"C:\\prog", u"C:\\prog\\run.log"},
        {u"C:\\prog", u"C:\\prog", u"C:\\prog\\run.log"},
        {u"C:\\prog", u"c:\\PROG\\", u"C:\\prog\\run.log"},
        {u"C:\\logs", u"D:\\other", u"D:\\other\\run.log"},
        // A directory whose name only begins like the log's is another directory.
        {u"C:\\logs", u"C:\\log", u"C:\\log\\run.log"},
        {u"C:\\logs", u"C:\\logs\\sub", u"C:\\logs\\sub\\run.log"},
        // The log in a subdirectory is not yet in the directory itself.
        {u"C:\\logs\\sub", u"C:\\logs", u"C:\\logs\\run.log"},
        {u"C:\\logs", u"", u"run.log"},
        {nullptr, u"", u"run.log"},
    };
    for (const auto& c : cases) {
        std::u16string directory = c.directory != nullptr ? P(c.directory) : u"";
        LLog log(c.directory != nullptr ? directory.c_str() : nullptr, u"run.log");
        if (c.target != nullptr) {
            EXPECT_TRUE(log.SetPath(P(c.target).c_str()));
        }
        EXPECT_EQ(Text(log.GetPath()), P(c.expected));
    }
}

class LLogFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        root_ = fs::temp_directory_path() / ("kavro-log-" + std::to_string(random()));
        ASSERT_TRUE(fs::create_directories(root_ / "from"));
        // A name outside ASCII checks the conversion of paths for the platform.
        ASSERT_TRUE(fs::create_directories(root_ / u"t\u00F6 \u65E5\u5FD7"));
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    std::u16string Dir(const std::u16string& name) const { return (root_ / name).u16string(); }
    fs::path File(const std::u16string& dir) const { return root_ / dir / "run.log"; }

    fs::path root_;
};

TEST_F(LLogFiles, AnOpenFileMovesWithTheLog) {
    const std::u16string to = u"t\u00F6 \u65E5\u5FD7";
    LLog log(Dir(u"from").c_str(), u"run.log");
    ASSERT_TRUE(log.OpenFile());
    EXPECT_TRUE(log.IsFileOpen());
    EXPECT_TRUE(fs::exists(File(u"from")));

    EXPECT_TRUE(log.SetPath(Dir(to).c_str()));
    EXPECT_EQ(Text(log.GetPath()), File(to).u16string());
    EXPECT_FALSE(log.IsFileOpen());
    EXPECT_TRUE(fs::exists(File(to)));
    EXPECT_FALSE(fs::exists(File(u"from")));
}

TEST_F(LLogFiles, AFailedMoveKeepsTheOldPath) {
    LLog log(Dir(u"from").c_str(), u"run.log");
    ASSERT_TRUE(log.OpenFile());

    EXPECT_FALSE(log.SetPath(Dir(u"missing").c_str()));
    EXPECT_EQ(Text(log.GetPath()), File(u"from").u16string());
    EXPECT_FALSE(log.IsFileOpen());
    EXPECT_TRUE(fs::exists(File(u"from")));
    EXPECT_FALSE(fs::exists(root_ / "missing"));
}

TEST_F(LLogFiles, AMoveNeverReplacesAnExistingFile) {
    const std::u16string to = u"t\u00F6 \u65E5\u5FD7";
    std::ofstream(File(to)) << "kept";
    LLog log(Dir(u"from").c_str(), u"run.log");
    ASSERT_TRUE(log.OpenFile());

    EXPECT_FALSE(log.SetPath(Dir(to).c_str()));
    EXPECT_EQ(Text(log.GetPath()), File(u"from").u16string());
    EXPECT_TRUE(fs::exists(File(u"from")));
    std::string kept;
    std::ifstream(File(to)) >> kept;
    EXPECT_EQ(kept, "kept");
}

}  // namespace

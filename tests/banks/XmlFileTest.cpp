#include "XmlFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <system_error>

#include "TempFolder.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SaveFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(folder_.empty()); }

    bool Save(FilePlacement placement) {
        return SaveFile(target_.u16string().c_str(), "new", placement);
    }
    fs::path Temporary(std::uint32_t attempt) const {
        return TemporaryFileName(target_.u16string().c_str(), attempt);
    }
    std::set<fs::path> Names() const {
        return {fs::directory_iterator(folder_), fs::directory_iterator()};
    }

    TempFolder temp_{"kavro-save-"};
    const fs::path& folder_ = temp_.Path();
    const fs::path target_ = folder_ / "Kavro.xml";
};

// Whatever the outcome, the save's temporary file is either in place or gone.
TEST_F(SaveFileTest, PutsTheFileInPlaceOnlyAsAsked) {
    const struct {
        FilePlacement placement;
        bool fileThere;
        bool saved;
    } cases[] = {
        {FilePlacement::kReplace, false, true},
        {FilePlacement::kReplace, true, true},
        {FilePlacement::kOnlyIfAbsent, false, true},
        // Another run's first save came first: its table stays whole.
        {FilePlacement::kOnlyIfAbsent, true, false},
    };
    for (const auto& c : cases) {
        fs::remove(target_);
        if (c.fileThere) {
            std::ofstream(target_) << "old";
        }
        EXPECT_EQ(Save(c.placement), c.saved);
        EXPECT_EQ(ReadBytes(target_), c.saved ? "new" : "old");
        EXPECT_EQ(Names(), std::set<fs::path>{target_});
    }
}

// Names taken by a killed run's leftovers, or planted there, are neither written
// through nor removed; the save takes the next free name. (The C++ library of the
// Windows build makes no symbolic links.)
TEST_F(SaveFileTest, TakenTemporaryNamesArePassedOver) {
    std::ofstream(Temporary(0)) << "left by a killed run";
    fs::create_directory(Temporary(1));
    std::set<fs::path> names{target_, Temporary(0), Temporary(1)};
    TempFolder elsewhere("kavro-victim-");
    std::ofstream(elsewhere.Path() / "victim") << "precious";
    std::error_code noLinks;
    fs::create_symlink(elsewhere.Path() / "victim", Temporary(2), noLinks);
    if (!noLinks) {
        names.insert(Temporary(2));
    }
    EXPECT_TRUE(Save(FilePlacement::kOnlyIfAbsent));
    EXPECT_EQ(ReadBytes(target_), "new");
    EXPECT_EQ(ReadBytes(Temporary(0)), "left by a killed run");
    EXPECT_EQ(ReadBytes(elsewhere.Path() / "victim"), "precious");
    EXPECT_EQ(Names(), names);
}

// U+0000 is a zero code unit of the encoding the document's first bytes show.
TEST(HoldsNullCharacter, LooksAtCodeUnitsOfTheDocumentsEncoding) {
    const struct {
        std::string bytes;
        bool holds;
    } cases[] = {
        {"<a>\x82\xA0</a>", false},            // Shift_JIS
        {"\xFE\xFF\0<\0\0\0>"s, true},         // UTF-16BE
        {"<\0?\0x\0m\0l\0 \0\0\x01"s, false},  // UTF-16LE without a mark
        {"<\0?\0x\0m\0l\0\0\0"s, true},        // the same with U+0000
        {"<\0\0\0a\0\0\0>\0\0\0"s, false},     // UTF-32LE
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HoldsNullCharacter(c.bytes), c.holds) << ::testing::PrintToString(c.bytes);
    }
}

}  // namespace

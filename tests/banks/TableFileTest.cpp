#include "TableFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "FileBytes.h"
#include "LThread.h"
#include "TempFolder.h"
#include "VirtualClock.h"
#include "banks/BuildName.h"
#include "banks/FileMarks.h"

namespace fs = std::filesystem;

namespace {

const LChar kName[] = u"Kavro.xml";

LString Directory(const fs::path& folder) {
    return LString(
        (folder.u16string() + static_cast<char16_t>(fs::path::preferred_separator)).c_str());
}

bool Accept(const std::string&) {
    return true;
}

// The platform's own folder operations on a folder of the test's.
class SaveInFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(temp_.Path().empty());
        Open(temp_.Path());
    }

    void Open(const fs::path& folder) {
        path_ = folder;
        folder_ = OpenTableFolder(Directory(folder));
        ASSERT_NE(folder_, nullptr);
    }
    bool Save(FilePlacement placement, const SavedFileCheck& check = Accept) {
        return SaveTableFile(*folder_, kName, "new", placement, check);
    }
    fs::path Target() const { return path_ / "Kavro.xml"; }
    fs::path Temporary(uint32_t attempt) const {
        return path_ / fs::path(TemporaryFileName(kName, attempt));
    }
    std::set<fs::path> Names() const {
        return {fs::directory_iterator(path_), fs::directory_iterator()};
    }

    TempFolder temp_{"kavro-save-"};
    fs::path path_;
    std::unique_ptr<TableFolder> folder_;
};

// Whatever the outcome, the save's temporary file is either in place or gone.
TEST_F(SaveInFolderTest, PutsTheFileInPlaceOnlyAsAskedAndOnlyAsMeant) {
    const struct {
        FilePlacement placement;
        bool fileThere;
        bool readsAsMeant;
        bool saved;
    } cases[] = {
        {FilePlacement::kReplace, false, true, true},
        {FilePlacement::kReplace, true, true, true},
        {FilePlacement::kOnlyIfAbsent, false, true, true},
        // Another run's first save came first: its table stays whole.
        {FilePlacement::kOnlyIfAbsent, true, true, false},
        // The file written would not read back as the table meant.
        {FilePlacement::kReplace, true, false, false},
        {FilePlacement::kOnlyIfAbsent, false, false, false},
    };
    for (const auto& c : cases) {
        fs::remove(Target());
        if (c.fileThere) {
            std::ofstream(Target()) << "old";
        }
        std::string checked;
        EXPECT_EQ(Save(c.placement,
                       [&](const std::string& written) {
                           checked = written;
                           return c.readsAsMeant;
                       }),
                  c.saved);
        const bool written = !(c.fileThere && c.placement == FilePlacement::kOnlyIfAbsent);
        EXPECT_EQ(checked, written ? "new" : "");
        EXPECT_EQ(ReadBytes(Target()), c.saved ? "new" : c.fileThere ? "old" : "");
        EXPECT_EQ(Names(),
                  c.saved || c.fileThere ? std::set<fs::path>{Target()} : std::set<fs::path>{});
    }
}

// Names taken by a killed run's leftovers, or planted there, are neither written
// through nor removed; the save takes the next free name. (The C++ library of the
// Windows build makes no symbolic links.)
TEST_F(SaveInFolderTest, TakenTemporaryNamesArePassedOver) {
    std::ofstream(Temporary(0)) << "left by a killed run";
    fs::create_directory(Temporary(1));
    std::set<fs::path> names{Target(), Temporary(0), Temporary(1)};
    TempFolder elsewhere("kavro-victim-");
    std::ofstream(elsewhere.Path() / "victim") << "precious";
    std::error_code noLinks;
    fs::create_symlink(elsewhere.Path() / "victim", Temporary(2), noLinks);
    if (!noLinks) {
        names.insert(Temporary(2));
    }
    EXPECT_TRUE(Save(FilePlacement::kOnlyIfAbsent));
    EXPECT_EQ(ReadBytes(Target()), "new");
    EXPECT_EQ(ReadBytes(Temporary(0)), "left by a killed run");
    EXPECT_EQ(ReadBytes(elsewhere.Path() / "victim"), "precious");
    EXPECT_EQ(Names(), names);
}

// A table kept private keeps being so; one made read-only is never replaced.
TEST_F(SaveInFolderTest, KeepsWhatTheOldTableWasAndNeverReplacesAReadOnlyOne) {
    std::ofstream(Target()) << "old";
    MarkPrivate(Target());
    ASSERT_TRUE(IsMarkedPrivate(Target()));
    EXPECT_TRUE(Save(FilePlacement::kReplace));
    EXPECT_EQ(ReadBytes(Target()), "new");
    EXPECT_TRUE(IsMarkedPrivate(Target()));

    fs::remove(Target());
    std::ofstream(Target()) << "old";
    fs::permissions(Target(),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(Save(FilePlacement::kReplace));
    EXPECT_EQ(ReadBytes(Target()), "old");
    EXPECT_EQ(Names(), std::set<fs::path>{Target()});
    fs::permissions(Target(), fs::perms::owner_write, fs::perm_options::add);
}

// Linux: the table's path fits the system's limit of 4095 bytes, the temporary
// file's does not. Windows: the folder lies past MAX_PATH.
TEST_F(SaveInFolderTest, ReadsAndSavesInAFolderWhoseNamesReachTheLimit) {
    const bool onLinux = kBuildName == std::string("linux");
    fs::path deep = DeepFolder(temp_.Path(), onLinux ? 4000 : 300);
    ASSERT_FALSE(deep.empty());
    if (onLinux) {
        deep /= std::string(4080 - deep.string().size() - 1, 'e');
        ASSERT_TRUE(fs::create_directory(deep));
    }
    Open(deep);
    ASSERT_LE(Target().string().size(), onLinux ? 4095u : 32767u);
    ASSERT_GT(Temporary(0).string().size(), onLinux ? 4095u : 260u);
    EXPECT_TRUE(Save(FilePlacement::kOnlyIfAbsent));
    std::string bytes;
    EXPECT_TRUE(ReadTableFile(*folder_, kName, 3, bytes));
    EXPECT_EQ(bytes, "new");
    EXPECT_FALSE(ReadTableFile(*folder_, kName, 2, bytes));  // one byte over the limit
    // The Windows build's C++ library cannot list a folder past MAX_PATH, and the
    // Linux one cannot name the temporary file there.
    if (onLinux) {
        EXPECT_EQ(Names(), std::set<fs::path>{Target()});
    } else {
        EXPECT_FALSE(fs::exists(Temporary(0)));
    }
}

TEST(OpenTableFolder, NoFolderIsNone) {
    TempFolder temp("kavro-none-");
    EXPECT_EQ(OpenTableFolder(Directory(temp.Path() / "missing")), nullptr);
    EXPECT_EQ(OpenTableFolder(LString()), nullptr);
}

// A folder whose files another program holds for a given number of tries, or whose
// file system cannot place a file without replacing one: the save's own steps,
// timed by the virtual clock.
class ScriptedFolder : public TableFolder {
public:
    int heldReads = 0;
    int heldRenames = 0;
    int heldRemoves = 0;
    bool noPlaceWithoutReplacing = false;
    std::map<std::u16string, std::string> files;
    std::vector<std::string> steps;

    LFilePresence Presence(const LChar* name) override {
        return files.count(name) != 0 ? LFilePresence::kPresent : LFilePresence::kAbsent;
    }
    FileStep Read(const LChar* name, uint32_t largest, std::string& bytes) override {
        if (heldReads > 0 && heldReads--) {
            return FileStep::kHeld;
        }
        const auto file = files.find(name);
        if (file == files.end()) {
            return FileStep::kFailed;
        }
        if (file->second.size() > largest) {
            return FileStep::kFailed;
        }
        bytes = file->second;
        return FileStep::kDone;
    }
    FileStep Keep(const LChar* name, FileKeep& keep) override {
        keep = FileKeep{files.count(name) != 0, true, 0};
        return FileStep::kDone;
    }
    FileStep CreateNew(const LChar* name, const std::string& bytes, const FileKeep&) override {
        steps.push_back("create " + Narrow(name));
        return files.emplace(name, bytes).second ? FileStep::kDone : FileStep::kExists;
    }
    FileStep Rename(const LChar* from, const LChar* to, bool replace) override {
        steps.push_back(std::string(replace ? "replace " : "place ") + Narrow(to));
        if (heldRenames > 0 && heldRenames--) {
            return FileStep::kHeld;
        }
        if (!replace && noPlaceWithoutReplacing) {
            return FileStep::kUnsupported;
        }
        if (!replace && files.count(to) != 0) {
            return FileStep::kExists;
        }
        files[to] = files[from];
        files.erase(from);
        return FileStep::kDone;
    }
    FileStep Remove(const LChar* name) override {
        steps.push_back("remove " + Narrow(name));
        if (heldRemoves > 0 && heldRemoves--) {
            return FileStep::kHeld;
        }
        files.erase(name);
        return FileStep::kDone;
    }

private:
    static std::string Narrow(const LChar* name) {
        const std::u16string text(name);
        return text.compare(0, 9, u"Kavro.xml") == 0 && text.size() > 9 ? "temporary" : "table";
    }
};

TEST(SaveWithScriptedFolder, AHeldFileIsTriedAgainEvery50MsForUpTo2Seconds) {
    const struct {
        const char* what;
        int heldRenames;
        int heldRemoves;
        bool saved;
        uint64_t waitedMs;
    } cases[] = {
        {"let go after three tries", 3, 0, true, 150},
        {"held past the wait", 1000, 0, false, 2000},
        // The temporary file is held too: removed once let go.
        {"temporary held after", 1000, 5, false, 2250},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedFolder folder;
        folder.files[kName] = "old";
        folder.heldRenames = c.heldRenames;
        folder.heldRemoves = c.heldRemoves;
        VirtualClock clock;
        EXPECT_EQ(SaveTableFile(folder, kName, "new", FilePlacement::kReplace, Accept), c.saved);
        EXPECT_EQ(clock.ElapsedOf(LThreadCurrentId()), c.waitedMs);
        EXPECT_EQ(folder.files,
                  (std::map<std::u16string, std::string>{{kName, c.saved ? "new" : "old"}}));
    }
}

TEST(SaveWithScriptedFolder, WithoutAPlaceThatNeverReplacesAnEmptyFileClaimsTheName) {
    ScriptedFolder folder;
    folder.noPlaceWithoutReplacing = true;
    EXPECT_TRUE(SaveTableFile(folder, kName, "new", FilePlacement::kOnlyIfAbsent, Accept));
    EXPECT_EQ(folder.steps, (std::vector<std::string>{"create temporary", "place table",
                                                      "create table", "replace table"}));
    EXPECT_EQ(folder.files, (std::map<std::u16string, std::string>{{kName, "new"}}));
}

TEST(ReadWithScriptedFolder, AHeldFileIsReadOnceLetGo) {
    ScriptedFolder folder;
    folder.files[kName] = "table";
    folder.heldReads = 4;
    VirtualClock clock;
    std::string bytes;
    EXPECT_TRUE(ReadTableFile(folder, kName, 100, bytes));
    EXPECT_EQ(bytes, "table");
    EXPECT_EQ(clock.ElapsedOf(LThreadCurrentId()), 200u);
    folder.heldReads = 1000;
    EXPECT_FALSE(ReadTableFile(folder, kName, 100, bytes));
}

}  // namespace

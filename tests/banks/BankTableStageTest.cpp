#include "BankTableStage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "CDeviceTable.h"
#include "ComApartment.h"
#include "FileBytes.h"
#include "LPath.h"
#include "ScriptedKeys.h"
#include "StdOutCapture.h"
#include "TempFolder.h"
#include "XmlMarkupLimits.h"
#include "device/FakeUSBCDDLL.h"

// Whether the bank table file is there decides between reading it and the first
// run's numbering, which saves over it: only a file known to be absent is created.
namespace {
namespace fs = std::filesystem;

const char kCannotTell[] = "\r\nCannot tell whether initialization file (Kavro.xml) exists.\r\n";
const char kCannotSave[] = "\r\nCannot save initialization file (Kavro.xml).\r\n";
const char kTable[] = "<CDLibraryList><Item ID=\"0\" Bank=\"3\"/></CDLibraryList>";

// The folder's path as the program keeps its directory: with a trailing separator.
LString Directory(const fs::path& folder) {
    LString directory(folder.u16string().c_str());
    const LChar separator[] = {kPathSeparator, 0};
    directory.Append(separator);
    return directory;
}

class BankTableStageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(folder_.Path().empty());
        fake::Reset();
        fake::SetDevices(1, {0});
    }

    // Runs the stage; its output, and whether it handed over to the selection.
    std::string Load(const LString& directory, bool& handedOver) {
        CDeviceTable table;
        StdOutCapture capture;
        handedOver = LoadBankTable(OpenBankTable(directory), table);
        std::string output = capture.Finish();
        int32_t device = -1;
        bank3_ = table.Lookup(3, device) ? device : -1;
        return output;
    }

    ComApartment com_;
    TempFolder folder_{"kavro-stage-"};
    int32_t bank3_ = -1;
};

TEST_F(BankTableStageTest, ReadsATableBelowAFolderDeeperThanMaxPath) {
    const fs::path deep = DeepFolder(folder_.Path(), 300);
    ASSERT_FALSE(deep.empty());
    std::ofstream(deep / "Kavro.xml", std::ios::binary) << kTable;

    bool handedOver = false;
    EXPECT_EQ(Load(Directory(deep), handedOver), "");
    EXPECT_TRUE(handedOver);
    EXPECT_EQ(bank3_, 0);
    EXPECT_EQ(ReadBytes(deep / "Kavro.xml"), kTable);
}

// The program's own path could not be had: the file's place is unknown.
TEST_F(BankTableStageTest, WithoutAProgramDirectoryItCannotTellAndEnds) {
    bool handedOver = true;
    EXPECT_EQ(Load(LString(), handedOver), kCannotTell);
    EXPECT_FALSE(handedOver);
    for (const std::string& call : fake::Calls()) {
        EXPECT_EQ(call.find("LED"), std::string::npos) << "a device was asked for its bank";
    }
}
// The save reads its file back as the next run will, before it takes the old
// table's place: a table grown past the reader's size limit by one new device is
// refused, and the old one stays.
TEST_F(BankTableStageTest, ASaveThatWouldNotReadBackLeavesTheOldTable) {
    fake::SetDevices(2, {0, 1});
    const std::string head = "<CDLibraryList><Item ID=\"0\" Bank=\"3\"/>";
    const std::string tail = "</CDLibraryList>";
    std::string table = head;
    // Comments of at most the parser's limit on one text.
    const std::size_t size = kLargestXmlFile - 10;
    while (table.size() + tail.size() < size) {
        const std::size_t room = size - table.size() - tail.size();
        table += "<!--" + std::string(std::min<std::size_t>(room, 1000000) - 7, 'x') + "-->";
    }
    table += tail;
    ASSERT_EQ(table.size(), size);
    std::ofstream(folder_.Path() / "Kavro.xml", std::ios::binary) << table;

    ScriptedKeys keys(u"4\r", false);
    bool handedOver = true;
    const std::string output = Load(Directory(folder_.Path()), handedOver);
    EXPECT_FALSE(handedOver);
    EXPECT_NE(output.find("The device (internal number 1) was assigned to the bank 4"),
              std::string::npos);
    EXPECT_EQ(output.substr(output.size() - std::strlen(kCannotSave)), kCannotSave);
    EXPECT_TRUE(ReadBytes(folder_.Path() / "Kavro.xml") == table);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_.Path()), fs::directory_iterator()), 1);
}
}  // namespace

#include "BankTableStage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CDeviceTable.h"
#include "LPath.h"
#include "StdOutCapture.h"
#include "TempFolder.h"
#include "banks/ComForTests.h"
#include "device/FakeUSBCDDLL.h"

// Whether the bank table file is there decides between reading it and the first
// run's numbering, which saves over it: only a file known to be absent is created.
namespace {
namespace fs = std::filesystem;

const char kCannotTell[] = "\r\nCannot tell whether initialization file (Kavro.xml) exists.\r\n";
const char kTable[] = "<CDLibraryList><Item ID=\"0\" Bank=\"3\"/></CDLibraryList>";

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

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
        handedOver = LoadBankTable(directory, table);
        std::string output = capture.Finish();
        int32_t device = -1;
        bank3_ = table.Lookup(3, device) ? device : -1;
        return output;
    }

    ComForTests com_;
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
}  // namespace

// The bank table stage's load on arbitrary bytes. They are written to Kavro.xml in a
// program folder of this run's own, and the stage reads the file as on any later
// run. No device is attached, so the stage never asks for a number: it either
// hands the table over in silence or ends with one of its load messages.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "BankTableStage.h"
#include "CDeviceTable.h"
#include "FuzzCheck.h"
#include "LUtf.h"
#include "StdOutCapture.h"

namespace fs = std::filesystem;

namespace {

const char kCannotLoad[] = "\r\nCannot load initialization file (Kavro.xml).\r\n";
const char kWrongFormat[] = "\r\nWrong file format (Kavro.xml) or internal xml error.\r\n";

// A program folder that goes when the run ends.
class ProgramFolder {
public:
    ProgramFolder() {
        std::random_device random;
        path_ = fs::temp_directory_path() / ("kavro-fuzz-" + std::to_string(random()));
        fs::create_directories(path_);
        directory_.Assign(Utf16FromUtf8((path_.string() + "/").c_str()).c_str());
    }
    ~ProgramFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    const LString& Directory() const { return directory_; }
    fs::path File() const { return path_ / "Kavro.xml"; }

private:
    fs::path path_;
    LString directory_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static ProgramFolder folder;
    static CDeviceTable table;  // started once: the library sees no device
    {
        std::ofstream file(folder.File(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        FuzzCheck(file.good(), "Kavro.xml written");
    }
    table.RemoveAll();
    StdOutCapture capture;
    bool loaded = LoadBankTable(OpenBankTable(folder.Directory()), table);
    std::string output = capture.Finish();
    FuzzCheck(loaded ? output.empty() : (output == kCannotLoad || output == kWrongFormat),
              "the stage's outcome and its message");
    FuzzCheck(CDeviceTable::GetDeviceCount() == 0, "no device");
    return 0;
}

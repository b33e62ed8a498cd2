#include "CommandTable.h"

#include "Commands.h"
#include "LStdOut.h"
#include "Usage.h"

namespace {

int32_t RunHelp(const CommandRun&) {
    WriteHelp();
    return kCommandDone;
}

int32_t RunVersion(const CommandRun&) {
    WriteVersion();
    return kCommandDone;
}

int32_t RunList(const CommandRun& run) {
    return ListDevices(run.table->Items());
}

int32_t RunBlink(const CommandRun& run) {
    return BlinkDevice(run.table->Items(), run.bank);
}

int32_t RunRenumber(const CommandRun& run) {
    return RenumberDevice(*run.table, run.bank);
}

int32_t RunForget(const CommandRun& run) {
    return ForgetDevice(*run.table, run.bank);
}

int32_t RunNumber(const CommandRun& run) {
    return NumberDevices(*run.start, *run.devices);
}

}  // namespace

// Beside the table, not the usage text: a program that needs only the usage text
// (the disc list's) then links none of the commands.
void WriteHelp() {
    WriteUsage();
    StdOutWrite(u"\r\n");
    for (const CommandRow& row : CommandTable()) {
        StdOutWrite(row.helpLine);
    }
}

const std::vector<CommandRow>& CommandTable() {
    using Needs = CommandNeeds;
    using Operand = CommandOperand;
    static const std::vector<CommandRow> rows = {
        {u"/list", u"--list", Operand::kNone, Needs::kTable, &RunList,
         u"Kavro /list          Lists the numbered and the attached devices.\r\n"},
        {u"/blink", u"--blink", Operand::kBank, Needs::kDeviceAndTable, &RunBlink,
         u"Kavro /blink N       Flashes the device of bank N until a key is pressed.\r\n"},
        {u"/renumber", u"--renumber", Operand::kBank, Needs::kDeviceAndTable, &RunRenumber,
         u"Kavro /renumber N    Asks for a new number for the device of bank N.\r\n"},
        {u"/forget", u"--forget", Operand::kBank, Needs::kTable, &RunForget,
         u"Kavro /forget N      Removes bank N from Kavro.xml when its device is gone.\r\n"},
        {u"/number", u"--number", Operand::kNone, Needs::kDeviceAndFolder, &RunNumber,
         u"Kavro /number        Numbers new devices without selecting a disc.\r\n"},
        {u"/version", u"--version", Operand::kNone, Needs::kNothing, &RunVersion,
         u"Kavro /version       Shows the program's version.\r\n"},
        {u"/?", u"--help", Operand::kNone, Needs::kNothing, &RunHelp,
         u"Kavro /? or --help   Shows this text. Each command can also begin with --.\r\n"},
    };
    return rows;
}

#include "Commands.h"

#include "CDeviceTable.h"
#include "CommandTable.h"
#include "LStdOut.h"
#include "RunStart.h"
#include "Usage.h"

bool FindAttachedDevice(const BankItems& items, int32_t bank, int32_t& device) {
    const int32_t index = items.InEffectFor(bank);
    if (index < 0) {
        StdOutFormat("\r\nNo device has bank %d in Kavro.xml.\r\n", bank);
        return false;
    }
    device = items[index].device;
    if (!CDeviceTable::IsAttached(device)) {
        StdOutFormat("\r\nThe device of bank %d (internal number %d) is not attached.\r\n", bank,
                     device);
        return false;
    }
    return true;
}

int32_t RunCommand(const Command& command, const LString& programDirectory) {
    switch (command.reading) {
        case Command::Reading::kSelection:
            return kCommandDone;
        case Command::Reading::kMisused:
            WriteHelp();
            return kCommandMisused;
        case Command::Reading::kCommand:
            break;
    }
    const CommandRow& row = *command.row;
    if (row.needs == CommandNeeds::kNothing) {
        return row.run({nullptr, nullptr, nullptr, command.bank});
    }
    CDeviceTable devices;
    const std::optional<BankTableStart> start =
        StartRun(programDirectory, row.needs == CommandNeeds::kDeviceAndTable ||
                                       row.needs == CommandNeeds::kDeviceAndFolder);
    if (!start) {
        return kCommandFailed;
    }
    // Without a table every attached device is one without a bank.
    BankTableFile table(*start->folder);
    if (row.needs != CommandNeeds::kDeviceAndFolder && start->presence == LFilePresence::kPresent &&
        !table.Load()) {
        return kCommandFailed;
    }
    return row.run({&*start, &devices, &table, command.bank});
}

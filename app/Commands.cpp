#include "Commands.h"

#include <memory>

#include "CDeviceTable.h"
#include "LStdOut.h"
#include "Usage.h"

const LChar kNoDevicesDetected[] = u"\r\nThere are no CD Libraries detected.\r\n";

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
    switch (command.kind) {
        case CommandKind::kHelp:
            WriteHelp();
            return kCommandDone;
        case CommandKind::kMisused:
            WriteHelp();
            return kCommandMisused;
        case CommandKind::kVersion:
            WriteVersion();
            return kCommandDone;
        case CommandKind::kSelection:
            return kCommandDone;
        case CommandKind::kList:
        case CommandKind::kBlink:
        case CommandKind::kRenumber:
        case CommandKind::kForget:
        case CommandKind::kNumber:
            break;
    }
    CDeviceTable devices;
    // A list may show a table with nothing attached, and a device is forgotten only
    // when it is not; the others need a device.
    if (command.kind != CommandKind::kList && command.kind != CommandKind::kForget &&
        CDeviceTable::GetDeviceCount() == 0) {
        StdOutWrite(kNoDevicesDetected);
        return kCommandFailed;
    }
    if (command.kind == CommandKind::kNumber) {
        return NumberDevices(programDirectory, devices);
    }
    const std::unique_ptr<TableFolder> folder = OpenTableFolder(programDirectory);
    const LFilePresence presence = BankTablePresence(folder.get());
    if (presence == LFilePresence::kUnknown) {
        return kCommandFailed;
    }
    // Without a table every attached device is one without a bank.
    BankTableFile table(*folder);
    if (presence == LFilePresence::kPresent && !table.Load()) {
        return kCommandFailed;
    }
    switch (command.kind) {
        case CommandKind::kBlink:
            return BlinkDevice(table.Items(), command.bank);
        case CommandKind::kRenumber:
            return RenumberDevice(table, command.bank);
        case CommandKind::kForget:
            return ForgetDevice(table, command.bank);
        default:
            return ListDevices(table.Items());
    }
}

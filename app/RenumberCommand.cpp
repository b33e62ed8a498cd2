#include "BankDialogue.h"
#include "CDeviceTable.h"
#include "Commands.h"
#include "LConsoleDialogue.h"
#include "LKeyboard.h"
#include "LStdOut.h"

namespace {
void WriteNoKeyboard(int32_t bank) {
    StdOutFormat(
        "\r\nThe device of bank %d cannot be renumbered: there is no keyboard to type its number "
        "on.\r\nPlease, start Kavro from a console window.\r\n",
        bank);
}
}  // namespace

// The device blinks and is asked for its new bank as when it is numbered. Its Item
// takes the new bank in place, and the table is saved over the old one.
int32_t RenumberDevice(BankTableFile& table, int32_t bank) {
    int32_t device = 0;
    if (!FindAttachedDevice(table.Items(), bank, device)) {
        return kCommandFailed;
    }
    if (!keyboard::Available()) {
        WriteNoKeyboard(bank);
        return kCommandFailed;
    }
    const int32_t item = table.Items().InEffectFor(bank);
    BankClaims claims = table.ClaimsOfAttached();
    int32_t renumbered = 0;
    LConsoleDialogue dialogue;
    try {
        renumbered = AskForBank(device, claims);
    } catch (const NoConsoleInput&) {
        WriteNoKeyboard(bank);
        return kCommandFailed;
    }
    // The number typed may have been meant for another device.
    if (!CDeviceTable::IsAttached(device)) {
        StdOutFormat(
            "\r\nThe device of bank %d (internal number %d) was disconnected; nothing was "
            "saved.\r\n",
            bank, device);
        return kCommandFailed;
    }
    if (renumbered == bank) {
        ReportAssignment(device, renumbered);
        StdOutFormat("\r\nBank %d stays as it was: Kavro.xml is unchanged.\r\n", bank);
        return kCommandDone;
    }
    table.ItemElement(item).SetAttribute(u"Bank", renumbered);
    ReportAssignment(device, renumbered);
    return table.Save(FilePlacement::kReplace, claims, item) ? kCommandDone : kCommandFailed;
}

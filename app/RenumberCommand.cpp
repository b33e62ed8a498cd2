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

void WriteDisconnected(int32_t bank, int32_t device) {
    StdOutFormat(
        "\r\nThe device of bank %d (internal number %d) was disconnected; nothing was saved.\r\n",
        bank, device);
}
}  // namespace

// The device blinks and is asked for its new bank as when it is numbered, until
// Escape or its unplugging ends the prompt. Its Item takes the new bank in place,
// and the table is saved over the old one.
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
    PromptAnswer answer{};
    LConsoleDialogue dialogue;
    StdOutFormat("Renumbering the device of bank %d (internal number %d). Esc cancels.\r\n", bank,
                 device);
    try {
        PromptExits exits;
        exits.escapeCancels = true;
        exits.endsWhenUnplugged = true;
        answer = AskForBank(device, claims, exits);
    } catch (const keyboard::NoConsoleInput&) {
        WriteNoKeyboard(bank);
        return kCommandFailed;
    }
    switch (answer.end) {
        case PromptEnd::kCancelled:
            StdOutFormat("\r\nThe renumbering of bank %d was cancelled; nothing was saved.\r\n",
                         bank);
            return kCommandFailed;
        case PromptEnd::kUnplugged:
            WriteDisconnected(bank, device);
            return kCommandFailed;
        case PromptEnd::kBank:
            break;
    }
    // The number typed may have been meant for another device.
    if (!CDeviceTable::IsAttached(device)) {
        WriteDisconnected(bank, device);
        return kCommandFailed;
    }
    const int32_t renumbered = answer.bank;
    if (renumbered == bank) {
        ReportAssignment(device, renumbered);
        StdOutFormat("\r\nBank %d stays as it was: Kavro.xml is unchanged.\r\n", bank);
        return kCommandDone;
    }
    table.ItemElement(item).SetAttribute(u"Bank", renumbered);
    ReportAssignment(device, renumbered);
    return table.Save(FilePlacement::kReplace, claims, item) ? kCommandDone : kCommandFailed;
}

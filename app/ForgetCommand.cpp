#include "CDeviceTable.h"
#include "Commands.h"
#include "LStdOut.h"

// A carousel gone for good gives its bank back: every Item that holds the bank goes,
// and the table is saved as any save does. An attached carousel keeps its bank,
// since a selection would ask for it again at once.
int32_t ForgetDevice(BankTableFile& table, int32_t bank) {
    const int32_t index = table.Items().InEffectFor(bank);
    if (index < 0) {
        StdOutFormat("\r\nNo device has bank %d in Kavro.xml.\r\n", bank);
        return kCommandFailed;
    }
    const int32_t device = table.Items()[index].device;
    if (CDeviceTable::IsAttached(device)) {
        StdOutFormat(
            "\r\nThe device of bank %d (internal number %d) is attached: use /renumber %d to "
            "give it another bank.\r\n",
            bank, device, bank);
        return kCommandFailed;
    }
    table.Forget(bank);
    if (!table.Save(FilePlacement::kReplace, BankClaims())) {
        return kCommandFailed;
    }
    StdOutFormat(
        "\r\nBank %d (internal number %d) was forgotten: Kavro.xml no longer holds it.\r\n", bank,
        device);
    return kCommandDone;
}

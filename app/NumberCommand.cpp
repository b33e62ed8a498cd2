#include "BankTableStage.h"
#include "Commands.h"
#include "LStdOut.h"

// The numbering that a selection runs first, on its own: the table is written only
// when a device was given a bank.
int32_t NumberDevices(const BankTableStart& start, CDeviceTable& devices) {
    switch (NumberNewDevices(start, devices)) {
        case NumberingResult::kNumbered:
            return kCommandDone;
        case NumberingResult::kNothingToNumber:
            StdOutWrite(u"\r\nEvery attached device has a bank: Kavro.xml is unchanged.\r\n");
            return kCommandDone;
        case NumberingResult::kEnded:
            break;
    }
    return kCommandFailed;
}

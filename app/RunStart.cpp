#include "RunStart.h"

#include "CDeviceTable.h"
#include "LStdOut.h"

namespace {
const LChar kNoDevicesDetected[] = u"\r\nThere are no CD Libraries detected.\r\n";
}  // namespace

std::optional<BankTableStart> StartRun(const LString& programDirectory, bool needsDevice) {
    if (needsDevice && CDeviceTable::GetDeviceCount() == 0) {
        StdOutWrite(kNoDevicesDetected);
        return std::nullopt;
    }
    BankTableStart start = OpenBankTable(programDirectory);
    if (start.presence == LFilePresence::kUnknown) {
        return std::nullopt;
    }
    return start;
}

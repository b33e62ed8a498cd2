#include "SelectionRun.h"

#include "CRotatingThread.h"
#include "CarouselGeometry.h"
#include "Countdown.h"
#include "LSleep.h"
#include "LStdOut.h"

namespace {

constexpr uint32_t kPollMs = 50;
constexpr uint32_t kPauseMs = 3000;

const LChar kWarning[] =
    u"\r\n   There are no ways to determine the device status for sure.\r\nSo, it's possible "
    u"that the device will not answer correctly and\r\nas a result the program will hang up. "
    u"In this case, just press Ctrl + C.\r\nMoving statistic:\r\nInitial waiting: ";

// Asks at once, then every 50 ms for as long as the answer is not 0. False when the
// device has left the device list meanwhile: unplugged, it will never answer 0.
template <typename Ask>
bool UntilZero(int32_t device, Ask ask) {
    while (ask() != 0) {
        if (!CDeviceTable::IsAttached(device)) {
            return false;
        }
        LSleep(kPollMs, LWaitKind::kPoll);
    }
    return true;
}

}  // namespace

void RunSelection(const CDiscList& discs, CDeviceTable& table) {
    StdOutWrite(kWarning);
    Countdown();
    for (LPosition p = discs.GetHeadPosition(); p != nullptr;) {
        int32_t disc = discs.GetNext(p);
        int32_t bank = carousel::BankOf(disc);
        int32_t slot = carousel::SlotOf(disc);
        int32_t device = 0;
        // No device could ever answer for these: waiting would never end.
        if (!table.Lookup(bank, device)) {
            StdOutFormat("CD N%d (%d:%d) skipped: no CD Library has the number %d.\r\n", disc, bank,
                         slot, bank);
            continue;
        }
        if (!CDeviceTable::IsAttached(device)) {
            StdOutFormat("CD N%d (%d:%d) skipped: CD Library number %d is not connected.\r\n", disc,
                         bank, slot, bank);
            continue;
        }
        StdOutFormat("CD N%d (%d:%d) selecting: ", disc, bank, slot);
        CRotatingThread indicator;
        indicator.Start(false);
        bool attached = UntilZero(device, [&] { return table.GetStatus(bank); }) &&
                        UntilZero(device, [&] { return table.MoveTo(bank, slot); }) &&
                        UntilZero(device, [&] { return table.GetStatus(bank); });
        indicator.StopAndWait();
        if (!attached) {
            StdOutWrite(u"the CD Library was disconnected.\r\n");
            continue;
        }
        StdOutWrite(u"done. Waiting for 5 seconds: ");
        Countdown();
        if (!UntilZero(device, [&] { return table.GetCDDown(bank); })) {
            StdOutFormat("CD N%d (%d:%d): the CD Library was disconnected.\r\n", disc, bank, slot);
            continue;
        }
        LSleep(kPauseMs, LWaitKind::kFixed);
    }
}

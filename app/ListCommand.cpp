#include <algorithm>
#include <string>
#include <vector>

#include "CDeviceTable.h"
#include "Commands.h"
#include "LStdOut.h"
#include "LUtf.h"

namespace {

void WriteLine(const std::u16string& line) {
    StdOutWrite((line + u".\r\n").c_str());
}

}  // namespace

// One line per device: the Items that hold a bank in bank order (then file order),
// the attached devices without a bank, then the Items that hold none.
int32_t ListDevices(const BankItems& items) {
    std::vector<int32_t> withBank;
    std::vector<int32_t> withoutBank;
    for (int32_t index = 0; index < items.GetCount(); ++index) {
        const ItemStanding standing = items[index].standing;
        const bool holdsBank =
            standing == ItemStanding::kInEffect || standing == ItemStanding::kShadowed;
        (holdsBank ? withBank : withoutBank).push_back(index);
    }
    std::stable_sort(withBank.begin(), withBank.end(),
                     [&items](int32_t a, int32_t b) { return items[a].bank < items[b].bank; });
    for (int32_t index : withBank) {
        const BankItem& item = items[index];
        std::u16string line =
            u"Bank " + LDecimal(item.bank) + u", discs " + DiscsOfBank(item.bank) +
            u": internal number " + LDecimal(item.device) +
            (CDeviceTable::IsAttached(item.device) ? u", attached" : u", not attached");
        line += item.standing == ItemStanding::kInEffect
                    ? u", in effect"
                    : u", not in effect: " + items.Reason(index);
        WriteLine(line);
    }

    LList attached;
    CDeviceTable::CopyDeviceList(attached);
    bool anyAttached = false;
    for (LPosition p = attached.GetHeadPosition(); p != nullptr;) {
        const int32_t device = attached.GetNext(p);
        anyAttached = true;
        if (!items.Knows(device)) {
            WriteLine(u"No bank: internal number " + LDecimal(device) + u", attached");
        }
    }

    for (int32_t index : withoutBank) {
        WriteLine(items.Describe(index) + u" is not in effect: " + items.Reason(index));
    }
    if (items.GetCount() == 0 && !anyAttached) {
        WriteLine(u"No device is numbered or attached");
    }
    return kCommandDone;
}

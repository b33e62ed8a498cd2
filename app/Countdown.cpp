#include "Countdown.h"

#include "LConsoleCell.h"
#include "LSleep.h"
#include "LStdOut.h"

namespace {
constexpr uint32_t kCountdownStepMs = 1000;
}  // namespace

void Countdown(CountdownObserver afterDigit) {
    // The digit's cell, at the cursor again once the line is drawn elsewhere.
    LConsoleCell cell;
    for (int32_t n = 5; n >= 1; --n) {
        const auto digit = static_cast<LChar>(u'0' + n);
        g_console.WriteCharacters(&digit, 1, cell.Where());
        if (afterDigit != nullptr) {
            afterDigit();
        }
        LSleep(kCountdownStepMs, LWaitKind::kFixed);
    }
    StdOutWrite(u"done.\r\n");
}

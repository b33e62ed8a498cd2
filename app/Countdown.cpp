#include "Countdown.h"

#include "LConsole.h"
#include "LSleep.h"
#include "LStdOut.h"

namespace {
constexpr uint32_t kCountdownStepMs = 1000;
}  // namespace

void Countdown(CountdownObserver afterDigit) {
    LConsolePosition at{};
    g_console.GetCursorPosition(at);
    uint32_t generation = g_console.Generation();
    for (int32_t n = 5; n >= 1; --n) {
        // The line drawn again elsewhere: the digit's cell is at the cursor again.
        if (g_console.Generation() != generation) {
            generation = g_console.Generation();
            g_console.GetCursorPosition(at);
        }
        const auto digit = static_cast<LChar>(u'0' + n);
        g_console.WriteCharacters(&digit, 1, at);
        if (afterDigit != nullptr) {
            afterDigit();
        }
        LSleep(kCountdownStepMs, LWaitKind::kFixed);
    }
    StdOutWrite(u"done.\r\n");
}

#include "Countdown.h"

#include <cstdio>

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
        LString digit;
        LChar* buffer = digit.GetBuffer(2);
        char text[3];
        std::snprintf(text, sizeof text, "%d", n);
        for (int i = 0; i < 3; ++i) {
            buffer[i] = static_cast<LChar>(text[i]);
            if (text[i] == 0) {
                break;
            }
        }
        digit.SetLength(-1);
        g_console.WriteCharacters(digit.GetText(), digit.GetLength(), at);
        if (afterDigit != nullptr) {
            afterDigit();
        }
        LSleep(kCountdownStepMs, LWaitKind::kFixed);
    }
    StdOutWrite(u"done.\r\n");
}

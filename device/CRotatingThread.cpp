#include "CRotatingThread.h"

#include "LConsole.h"
#include "LSleep.h"

const char16_t CRotatingThread::kCharacters[4] = {u'|', u'/', u'-', u'\\'};

namespace {
constexpr uint32_t kCharacterMs = 140;
constexpr uint32_t kStepMs = 10;
}  // namespace

int32_t CRotatingThread::Run() {
    auto stop = [this] { return StopRequested(); };
    LConsolePosition cell{};
    g_console.GetCursorPosition(cell);
    uint32_t generation = g_console.Generation();
    for (;;) {
        for (uint32_t i = startIndex_; i < 4; ++i) {
            if (stop()) {
                return 0;
            }
            // The line drawn again elsewhere: the cell is at the cursor again.
            if (g_console.Generation() != generation) {
                generation = g_console.Generation();
                g_console.GetCursorPosition(cell);
            }
            g_console.WriteCharacters(&kCharacters[i], 1, cell);
            LSleepFor(kCharacterMs, kStepMs, stop);
        }
    }
}

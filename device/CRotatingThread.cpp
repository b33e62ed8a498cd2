#include "CRotatingThread.h"

#include "LConsole.h"
#include "LSleep.h"

const char16_t CRotatingThread::kCharacters[4] = {u'|', u'/', u'-', u'\\'};

namespace {
constexpr int kStepsPerCharacter = 14;
constexpr uint32_t kStepMs = 10;
}  // namespace

int32_t CRotatingThread::Run() {
    LConsolePosition cell{};
    g_console.GetCursorPosition(cell);
    if (StopRequested()) {
        return 0;
    }
    for (;;) {
        for (uint32_t i = startIndex_; i < 4; ++i) {
            if (StopRequested()) {
                return 0;
            }
            g_console.WriteCharacters(&kCharacters[i], 1, cell);
            for (int step = 0; step < kStepsPerCharacter && !StopRequested(); ++step) {
                LSleep(kStepMs);
            }
        }
        if (StopRequested()) {
            return 0;
        }
    }
}

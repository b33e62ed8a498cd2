#include "CRotatingThread.h"

#include "LConsoleCell.h"
#include "LSleep.h"

const char16_t CRotatingThread::kCharacters[4] = {u'|', u'/', u'-', u'\\'};

namespace {
constexpr uint32_t kCharacterMs = 140;
constexpr uint32_t kStepMs = 10;
}  // namespace

int32_t CRotatingThread::Run() {
    auto stop = [this] { return StopRequested(); };
    // The indicator's cell, at the cursor again once the line is drawn elsewhere.
    LConsoleCell cell;
    for (;;) {
        for (uint32_t i = startIndex_; i < 4; ++i) {
            if (stop()) {
                return 0;
            }
            g_console.WriteCharacters(&kCharacters[i], 1, cell.Where());
            LSleepFor(kCharacterMs, kStepMs, stop);
        }
    }
}

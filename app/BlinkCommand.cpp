#include "BankDialogue.h"
#include "CDeviceTable.h"
#include "CFlashingThread.h"
#include "Commands.h"
#include "LInterrupt.h"
#include "LKeyboard.h"
#include "LScopeExit.h"
#include "LSleep.h"
#include "LStdOut.h"

namespace {

constexpr uint32_t kUntilKeyMs = 60000;
constexpr uint32_t kWithoutKeyboardMs = 10000;
constexpr uint32_t kStepMs = 10;

// Whether a key was pressed, taking it. What a terminal reports of itself (the
// mouse, the focus) is no key.
bool KeyPressed() {
    try {
        while (keyboard::KeyWaiting()) {
            const int32_t key = NextKey();
            if (key != keyboard::kFunctionKey && key != keyboard::kExtendedKey) {
                return true;
            }
            const int32_t second = NextKey();
            if (key != keyboard::kExtendedKey || second != keyboard::kIgnoredKey) {
                return true;
            }
        }
    } catch (const NoConsoleInput&) {
        // The keyboard has gone: the time limit ends the blinking.
    }
    return false;
}

}  // namespace

// The device's LED blinks as when it is numbered, until a key, the time limit or
// Ctrl+C, and is left off however the blinking ends.
int32_t BlinkDevice(const BankItems& items, int32_t bank) {
    int32_t device = 0;
    if (!FindAttachedDevice(items, bank, device)) {
        return kCommandFailed;
    }
    const bool keyboard = keyboard::Available();
    if (keyboard) {
        StdOutFormat("Bank %d (internal number %d) is flashing. Press any key to stop.\r\n", bank,
                     device);
    } else {
        StdOutFormat("Bank %d (internal number %d) is flashing for 10 seconds.\r\n", bank, device);
    }
    bool unplugged = false;
    {
        CFlashingThread flashing(device);
        const auto interrupted = interrupt::StopOnInterrupt(flashing);
        const LScopeExit stopped([&flashing] { flashing.StopAndWait(); });
        flashing.Start(false);
        LSleepFor(keyboard ? kUntilKeyMs : kWithoutKeyboardMs, kStepMs, [&] {
            unplugged = !CDeviceTable::IsAttached(device);
            return unplugged || (keyboard && KeyPressed());
        });
    }
    if (unplugged) {
        StdOutFormat("\r\nThe device of bank %d (internal number %d) was disconnected.\r\n", bank,
                     device);
        return kCommandFailed;
    }
    return kCommandDone;
}

#include "BankDialogue.h"
#include "CDeviceTable.h"
#include "CFlashingThread.h"
#include "Commands.h"
#include "LConsoleDialogue.h"
#include "LInterrupt.h"
#include "LKeyboard.h"
#include "LScopeExit.h"
#include "LSleep.h"
#include "LStdOut.h"

namespace {

constexpr uint32_t kUntilKeyMs = 60000;
constexpr uint32_t kWithoutKeyboardMs = 10000;
constexpr uint32_t kStepMs = 10;

// Whether a key was pressed, taking it, its second code included. What a terminal
// reports of itself (the mouse, the focus) comes as no key at all.
bool KeyPressed() {
    try {
        if (!keyboard::KeyWaiting()) {
            return false;
        }
        const int32_t key = keyboard::NextKey();
        if (key == keyboard::kFunctionKey || key == keyboard::kExtendedKey) {
            keyboard::NextKey();
        }
        return true;
    } catch (const keyboard::NoConsoleInput&) {
        return false;  // the keyboard has gone: the time limit ends the blinking
    }
}

// Blinks for the time given, or until a key when untilKey, and says so when the
// device was unplugged meanwhile. The LED is left off however the blinking ends.
int32_t Blink(int32_t bank, int32_t device, uint32_t durationMs, bool untilKey) {
    bool unplugged = false;
    {
        CFlashingThread flashing(device);
        const auto interrupted = interrupt::StopOnInterrupt(flashing);
        const LScopeExit stopped([&flashing] { flashing.StopAndWait(); });
        flashing.Start(false);
        LSleepFor(durationMs, kStepMs, [&] {
            unplugged = !CDeviceTable::IsAttached(device);
            return unplugged || (untilKey && KeyPressed());
        });
    }
    if (unplugged) {
        StdOutFormat("\r\nThe device of bank %d (internal number %d) was disconnected.\r\n", bank,
                     device);
        return kCommandFailed;
    }
    return kCommandDone;
}

}  // namespace

// The device's LED blinks as when it is numbered, until a key, the time limit or
// Ctrl+C.
int32_t BlinkDevice(const BankItems& items, int32_t bank) {
    int32_t device = 0;
    if (!FindAttachedDevice(items, bank, device)) {
        return kCommandFailed;
    }
    if (!keyboard::Available()) {
        StdOutFormat("Bank %d (internal number %d) is flashing for 10 seconds.\r\n", bank, device);
        return Blink(bank, device, kWithoutKeyboardMs, false);
    }
    // The user at the keyboard is asked for a key, and told why the blinking ended
    // without one, on the console even when standard output goes elsewhere.
    const LConsoleDialogue dialogue;
    StdOutFormat("Bank %d (internal number %d) is flashing. Press any key to stop.\r\n", bank,
                 device);
    return Blink(bank, device, kUntilKeyMs, true);
}

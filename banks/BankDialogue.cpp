#include "BankDialogue.h"

#include <optional>
#include <string>

#include "CDeviceTable.h"
#include "CFlashingThread.h"
#include "CarouselGeometry.h"
#include "LConsole.h"
#include "LInterrupt.h"
#include "LKeyboard.h"
#include "LPromptField.h"
#include "LScopeExit.h"
#include "LSleep.h"
#include "LStdOut.h"
#include "LUtf.h"
#include "USBCDDLL.h"

namespace {
constexpr int32_t kMaxDigits = 3;
constexpr uint32_t kErrorShowsMs = 3000;
constexpr uint32_t kErrorWaitStepMs = 10;
// As often as the console's keyboard is asked while a key is awaited.
constexpr uint32_t kKeyWaitStepMs = 10;

const LChar kInvalidNumber[] = u"Please, enter a valid number from 1 to 127.";

// Leaves the prompt through one of its exits; caught where the turn began.
struct PromptLeft {
    PromptEnd end;
};

// The prompt's keys, as its exits read them.
class PromptKeys {
public:
    PromptKeys(int32_t device, const PromptExits& exits) : device_(device), exits_(exits) {}

    // Whether the device has left the device list, when that ends the prompt.
    bool Unplugged() const {
        return exits_.endsWhenUnplugged && !CDeviceTable::IsAttached(device_);
    }

    // The next key; PromptLeft for a key that leaves the prompt, or once the device
    // has gone while the key was awaited.
    int32_t Next() {
        if (exits_.endsWhenUnplugged) {
            while (!keyboard::KeyWaiting()) {
                if (Unplugged()) {
                    throw PromptLeft{PromptEnd::kUnplugged};
                }
                LSleep(kKeyWaitStepMs, LWaitKind::kPoll);
            }
        }
        return Read();
    }

    // A key that is waiting, taken; PromptLeft as for Next, or false.
    bool TakeWaiting() {
        if (Unplugged()) {
            throw PromptLeft{PromptEnd::kUnplugged};
        }
        if (!keyboard::KeyWaiting()) {
            return false;
        }
        Read();
        return true;
    }

private:
    int32_t Read() {
        const int32_t key = keyboard::NextKey();
        // The second code of a key without a character is no Escape, whatever its value.
        const bool second = afterPrefix_;
        afterPrefix_ = key == keyboard::kFunctionKey || key == keyboard::kExtendedKey;
        if (exits_.escapeCancels && !second && key == keyboard::kEscape) {
            throw PromptLeft{PromptEnd::kCancelled};
        }
        return key;
    }

    int32_t device_;
    PromptExits exits_;
    bool afterPrefix_ = false;
};

// The red message for a bank that another device holds; no longer than the one for
// an invalid number, so that the prompt's line takes no more room than it did.
LString TakenMessage(int32_t bank) {
    return LString(
        Utf16FromUtf8(("Bank " + std::to_string(bank) + " is taken by another device.").c_str())
            .c_str());
}

// Shows the error in the field for 3 s, or until a key, which is swallowed; then
// blanks it again and puts the cursor back where the field begins. A key or an
// unplugging that leaves the prompt does so once the error is blanked.
void ShowError(LPromptField& field, const LString& message, PromptKeys& keys) {
    field.ShowError(message);
    std::optional<PromptLeft> left;
    LSleepFor(kErrorShowsMs, kErrorWaitStepMs, [&] {
        try {
            return keys.TakeWaiting();
        } catch (const PromptLeft& leaving) {
            left = leaving;
            return true;
        }
    });
    field.ClearError();
    if (left) {
        throw *left;
    }
}

}  // namespace

PromptAnswer ReadBankNumber(const BankClaims& claims, int32_t device, const PromptExits& exits) {
    PromptKeys keys(device, exits);
    LString digits;
    try {
        for (;;) {
            for (int32_t key = keys.Next();
                 key != keyboard::kFunctionKey && key != keyboard::kEnter; key = keys.Next()) {
                if (IsAsciiDigit(key)) {
                    if (digits.GetLength() < kMaxDigits) {
                        digits.AppendChar(static_cast<LChar>(key));
                        keyboard::PutChar(static_cast<LChar>(key));
                    }
                } else if (key == keyboard::kBackspace && digits.GetLength() > 0) {
                    digits.Assign(digits.Left(digits.GetLength() - 1));
                    g_console.Backspace();
                }
            }
            int32_t value = digits.ToInteger();
            LPromptField field(digits.GetLength());
            const bool valid = carousel::IsBank(value);
            if (valid && !claims.TakenFromOther(value, device)) {
                field.Blank(kMaxDigits);
                return {PromptEnd::kBank, value};
            }
            digits.Empty();
            ShowError(field, valid ? TakenMessage(value) : LString(kInvalidNumber), keys);
        }
    } catch (const PromptLeft& left) {
        // What was typed goes, and the prompt's line ends where its input began.
        LPromptField(digits.GetLength()).Blank(kMaxDigits);
        return {left.end, 0};
    }
}

int32_t ReadBankNumber(const BankClaims& claims, int32_t device) {
    return ReadBankNumber(claims, device, PromptExits{}).bank;
}

PromptAnswer AskForBank(int32_t device, BankClaims& claims, const PromptExits& exits) {
    StdOutWrite(u"The flashing device will be number: ");
    USBCDReset(device);
    CFlashingThread flashing(device);
    PromptAnswer answer;
    {
        // Declared first, so that an interrupt still finds the thread while it is
        // being stopped on the way out of this block.
        const auto interrupted = interrupt::StopOnInterrupt(flashing);
        // Stops the blinking however the turn ends, so that the LED is left off.
        const LScopeExit stopped([&flashing] { flashing.StopAndWait(); });
        flashing.Start(false);
        answer = ReadBankNumber(claims, device, exits);
    }
    if (answer.end == PromptEnd::kBank) {
        claims.Give(answer.bank, device);
    }
    return answer;
}

int32_t AskForBank(int32_t device, BankClaims& claims) {
    return AskForBank(device, claims, PromptExits{}).bank;
}

void ReportAssignment(int32_t device, int32_t bank) {
    LConsolePosition line{};
    g_console.GetCursorPosition(line);
    line.x = 0;
    g_console.SetCursorPosition(line);
    StdOutFormat("The device (internal number %d) was assigned to the bank %d\r\n", device, bank);
}

void AssignBanks(XmlDocument& document, XmlElement& root, const LList& devices,
                 BankClaims& claims) {
    for (LPosition p = devices.GetHeadPosition(); p != nullptr;) {
        const int32_t device = devices.GetNext(p);
        const int32_t bank = AskForBank(device, claims);
        XmlElement item = document.CreateElement(u"Item");
        item.SetAttribute(u"ID", device);
        item.SetAttribute(u"Bank", bank);
        root.AppendChild(item);
        ReportAssignment(device, bank);
    }
}

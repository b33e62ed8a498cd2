#include "BankDialogue.h"

#include "CFlashingThread.h"
#include "LConsole.h"
#include "LKeyboard.h"
#include "LSleep.h"
#include "LStdOut.h"
#include "USBCDDLL.h"

namespace {
constexpr int32_t kEnter = 13;
constexpr int32_t kBackspace = 8;
constexpr int32_t kMaxDigits = 3;
constexpr int32_t kLowestBank = 1;
constexpr int32_t kHighestBank = 127;
constexpr int kErrorWaitSteps = 300;
constexpr uint32_t kErrorWaitStepMs = 10;

bool IsDigit(int32_t key) {
    return key >= u'0' && key <= u'9';
}

int32_t NextKey() {
    int32_t key = keyboard::GetKey();
    if (key == keyboard::kNoInput) {
        throw NoConsoleInput();
    }
    return key;
}

// The cursor moved back over the typed digits.
LConsolePosition InputPosition(const LString& digits) {
    LConsolePosition position{};
    g_console.GetCursorPosition(position);
    position.x -= digits.GetLength();
    g_console.SetCursorPosition(position);
    return position;
}

// Shows the error at the input position for about 3 s, or until a key, which is
// swallowed; then blanks it again in the colours of before.
void ShowError(const LConsolePosition& at) {
    const LString message(u"Please, enter a valid number from 1 to 127.");
    uint16_t attribute = g_console.GetTextAttribute();
    g_console.SetTextAttribute(LConsole::kBrightRed);
    g_console.WriteText(message.GetText(), message.GetLength());
    g_console.SetTextAttribute(attribute);
    for (int step = 0; step < kErrorWaitSteps; ++step) {
        if (keyboard::KeyWaiting()) {
            NextKey();
            break;
        }
        LSleep(kErrorWaitStepMs);
    }
    g_console.FillCharacter(0, message.GetLength(), at);
    g_console.FillAttribute(attribute, message.GetLength(), at);
    g_console.SetCursorPosition(at);
}

// Stops the blinking however the turn ends, so that the LED is left off.
class StopOnExit {
public:
    explicit StopOnExit(LThread& thread) : thread_(thread) {}
    ~StopOnExit() { thread_.StopAndWait(); }
    StopOnExit(const StopOnExit&) = delete;
    StopOnExit& operator=(const StopOnExit&) = delete;

private:
    LThread& thread_;
};
}  // namespace

int32_t ReadBankNumber() {
    keyboard::Session session;
    LString digits;
    for (;;) {
        for (int32_t key = NextKey(); key != 0 && key != kEnter; key = NextKey()) {
            if (IsDigit(key)) {
                if (digits.GetLength() < kMaxDigits) {
                    digits.AppendChar(static_cast<LChar>(key));
                    keyboard::PutChar(static_cast<LChar>(key));
                }
            } else if (key == kBackspace && digits.GetLength() > 0) {
                digits.Assign(digits.Left(digits.GetLength() - 1));
                g_console.Backspace();
            }
        }
        int32_t value = digits.ToInteger();
        LConsolePosition at = InputPosition(digits);
        if (value >= kLowestBank && value <= kHighestBank) {
            g_console.FillCharacter(0, kMaxDigits, at);
            return value;
        }
        ShowError(at);
        digits.Empty();
    }
}

void AssignBanks(XmlDocument& document, XmlElement& root, const LList& devices) {
    for (LPosition p = devices.GetHeadPosition(); p != nullptr;) {
        StdOutWrite(u"The flashing device will be number: ");
        int32_t device = devices.GetNext(p);
        USBCDReset(device);
        CFlashingThread flashing(device);
        int32_t bank;
        {
            StopOnExit stop(flashing);
            flashing.Start(false);
            bank = ReadBankNumber();
        }
        XmlElement item = document.CreateElement(u"Item");
        item.SetAttribute(u"ID", device);
        item.SetAttribute(u"Bank", bank);
        root.AppendChild(item);

        LConsolePosition line{};
        g_console.GetCursorPosition(line);
        line.x = 0;
        g_console.SetCursorPosition(line);
        StdOutFormat("The device (internal number %d) was assigned to the bank %d\r\n", device,
                     bank);
    }
}

#include <conio.h>
#include <windows.h>

#include "LConsole.h"
#include "LKeyboard.h"
#include "LKeyboard_win32.h"
#include "LLiveLine_win32.h"
#include "LSleep.h"

namespace keyboard {
namespace {
constexpr uint32_t kKeyPollMs = 10;

// The console's keyboard, opened once for the whole run.
class ConsoleInput {
public:
    ConsoleInput()
        : handle_(CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr)) {}
    ~ConsoleInput() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    ConsoleInput(const ConsoleInput&) = delete;
    ConsoleInput& operator=(const ConsoleInput&) = delete;

    bool IsConsole() const {
        DWORD mode = 0;
        return handle_ != INVALID_HANDLE_VALUE && GetConsoleMode(handle_, &mode) != 0;
    }

    // A wait on the keyboard that returns at once. Wine's console takes in what is
    // typed on its terminal only for a program that waits on its input, which _kbhit
    // alone never does; Windows answers from the keys it has queued.
    void LookForKeys() const {
        if (handle_ != INVALID_HANDLE_VALUE) {
            WaitForSingleObject(handle_, 0);
        }
    }

private:
    HANDLE handle_;
};

// _getwch reads the console's keyboard, CONIN$, whatever standard input is (the
// numbering of Kavro 5 <nul still reads keys); a process without a console has nobody
// to ask, and is told so instead. A console cannot come later, so the answer is kept.
const ConsoleInput& TheConsoleInput() {
    static const ConsoleInput input;
    return input;
}

bool HasConsoleInput() {
    static const bool has = TheConsoleInput().IsConsole();
    return has;
}

// A file, a pipe or the null device on standard input means that nobody types,
// console or not, as on Linux, where the keyboard is standard input only when that
// is the program's own terminal.
bool StandardInputIsConsole() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}
}  // namespace

bool ConsoleAvailable() {
    return HasConsoleInput() && StandardInputIsConsole();
}

// Rather than waiting in _getwch, the keyboard is asked every 10 ms, and each ask
// looks at the console's width: a console that re-wraps to a new width while the
// prompt waits has the line drawn again at once.
int32_t ConsoleGetKey() {
    if (!HasConsoleInput()) {
        return kNoInput;
    }
    while (!ConsoleKeyWaiting()) {
        LSleep(kKeyPollMs, LWaitKind::kPoll);
    }
    wint_t key = _getwch();
    return key == WEOF ? kNoInput : static_cast<int32_t>(key);
}

// Every look for a key also looks at the console's width (see ConsoleGetKey).
bool ConsoleKeyWaiting() {
    liveline::FollowWidth(static_cast<HANDLE>(g_console.GetHandle()));
    if (!HasConsoleInput()) {
        return true;  // no key will ever come: GetKey says so at once
    }
    TheConsoleInput().LookForKeys();
    return _kbhit() != 0;
}

void ListenForKeys() {
    if (HasConsoleInput()) {
        TheConsoleInput().LookForKeys();
    }
}

void PutChar(LChar ch) {
    const wchar_t character = static_cast<wchar_t>(ch);
    liveline::Text(static_cast<HANDLE>(g_console.GetHandle()), &character, 1);
    _putwch(character);
}

}  // namespace keyboard

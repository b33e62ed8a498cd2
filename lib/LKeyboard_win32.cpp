#include <conio.h>
#include <windows.h>

#include "LKeyboard.h"

namespace keyboard {
namespace {
// _getwch reads the console even when standard input is redirected; a run whose
// standard input is no console has nobody to ask, and is told so instead.
bool HasConsoleInput() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}
}  // namespace

int32_t ConsoleGetKey() {
    if (!HasConsoleInput()) {
        return kNoInput;
    }
    wint_t key = _getwch();
    return key == WEOF ? kNoInput : static_cast<int32_t>(key);
}

bool ConsoleKeyWaiting() {
    return HasConsoleInput() && _kbhit() != 0;
}

void PutChar(LChar ch) {
    _putwch(static_cast<wchar_t>(ch));
}

}  // namespace keyboard

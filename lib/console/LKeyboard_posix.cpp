#include "LKeyboard.h"
#include "LTerminal_posix.h"

// The keys come from the terminal, which reads and decodes them (LTerminal_posix.cpp);
// the echo goes to the console, as _putwch writes to it on Windows.
namespace keyboard {

bool ConsoleAvailable() {
    return terminal::HasKeyboard();
}

int32_t ConsoleGetKey() {
    return terminal::ReadKey();
}

bool ConsoleKeyWaiting() {
    return terminal::KeyWaiting();
}

void PutChar(LChar ch) {
    terminal::WriteText(&ch, 1);
}

}  // namespace keyboard

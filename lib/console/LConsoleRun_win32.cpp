#include "LConsoleRun.h"

#include "LKeyboard_win32.h"

// The Windows console keeps its own modes for the program, and each prompt sets what
// it uses; the keyboard is only looked at once, for the terminal under Wine.
LConsoleRun::LConsoleRun() {
    keyboard::ListenForKeys();
}

LConsoleRun::~LConsoleRun() = default;

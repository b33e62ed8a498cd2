#include <windows.h>

#include "LConsole.h"
#include "LConsoleDialogue.h"
#include "LStdOutMirror_win32.h"

// Standard output that is no console leaves g_console without a screen buffer: for
// the dialogue it draws on the console's own, CONOUT$, and standard output's text is
// written there too.
namespace {
HANDLE opened = INVALID_HANDLE_VALUE;
LConsoleHandle redirected = nullptr;
int depth = 0;

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}
}  // namespace

LConsoleDialogue::LConsoleDialogue() {
    if (depth++ > 0 || IsConsole(static_cast<HANDLE>(g_console.GetHandle()))) {
        return;
    }
    HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) {
        return;
    }
    if (!IsConsole(console)) {
        CloseHandle(console);
        return;
    }
    opened = console;
    redirected = g_console.Exchange(console);
    SetStdOutMirror(console);
    DWORD written = 0;
    WriteConsoleW(console, L"\r\n", 2, &written, nullptr);
}

LConsoleDialogue::~LConsoleDialogue() {
    if (--depth > 0 || opened == INVALID_HANDLE_VALUE) {
        return;
    }
    SetStdOutMirror(INVALID_HANDLE_VALUE);
    g_console.Exchange(redirected);
    CloseHandle(opened);
    opened = INVALID_HANDLE_VALUE;
}

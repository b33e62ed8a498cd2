#include <windows.h>

#include "LInterrupt.h"

// The console calls the handler on a thread of its own. Returning FALSE hands the
// event on to the default handling, which ends the process.
namespace interrupt {
namespace {
// The exit code of a process ended by Ctrl+C.
constexpr UINT kControlCExit = 0xC000013A;

BOOL WINAPI OnControl(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) {
        StopThreadsForExit();
    }
    return FALSE;
}
}  // namespace

SignalHandlingForRun::SignalHandlingForRun() {
    SetConsoleCtrlHandler(&OnControl, TRUE);
}

SignalHandlingForRun::~SignalHandlingForRun() {
    SetConsoleCtrlHandler(&OnControl, FALSE);
}

// The Windows console puts itself back when the process ends: nothing to call.
void SetConsoleHandlers(const ConsoleHandlers&) {}

void EndAsInterrupted() {
    ExitProcess(kControlCExit);
}

}  // namespace interrupt

#include "ProgramObjects.h"

#include "CDeviceTable.h"
#include "LConsoleRun.h"
#include "LInterrupt.h"

// The program-wide objects, defined in one place so that they are constructed in
// this order and destroyed in the reverse one.
LCriticalSection CDeviceTable::libraryLock;
LCriticalSection CDeviceTable::deviceListLock;
LList CDeviceTable::deviceList;
CMainThread g_mainThread;
LConsole g_console;

int32_t g_argumentCount = 0;
const LChar* const* g_arguments = nullptr;

int32_t RunProgram(int32_t argumentCount, const LChar* const* arguments) {
    g_argumentCount = argumentCount;
    g_arguments = arguments;
    // A failure leaves the console without a handle; the run goes on regardless.
    g_console.Open(LConsole::kStandardOutput);
    interrupt::SignalHandlingForRun signals;
    // The terminal in the run's modes from here on, and put back on every way out.
    const LConsoleRun console;
    try {
        return g_mainThread.RunInCallingThread();
    } catch (const interrupt::Interrupted&) {
        interrupt::EndAsInterrupted();
    }
}

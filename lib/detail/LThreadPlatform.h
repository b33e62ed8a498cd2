#pragma once

#include <cstdint>

#include "LThread.h"

// The platform's thread calls, behind the portable logic of LThread.

// The exit code GetExitCodeThread reports for a thread that has not ended.
constexpr uint32_t kLThreadStillActive = 259;

// Starts a thread that calls LThread::ThreadProc with the object.
LThreadHandle LThreadCreate(LThread* thread, bool suspended, uint32_t* threadId);
// False when the exit code cannot be read (a null handle included).
bool LThreadGetExitCode(LThreadHandle handle, uint32_t* exitCode);
void LThreadTerminate(LThreadHandle handle);
bool LThreadClose(LThreadHandle handle);
// The pseudo handle that always stands for the calling thread.
LThreadHandle LThreadCurrentPseudoHandle();

#pragma once

#include <cstdint>

#include "CMainThread.h"
#include "LConsole.h"
#include "LString.h"

// The command line as the entry function received it; element 0 is the program.
extern int32_t g_argumentCount;
extern const LChar* const* g_arguments;

extern CMainThread g_mainThread;

// Hands the command line to the main thread object and runs it on the calling
// thread; returns the exit code.
int32_t RunProgram(int32_t argumentCount, const LChar* const* arguments);

#pragma once

#include <windows.h>

// A console that standard output's text is also written to while a dialogue runs
// with standard output elsewhere (LConsoleDialogue.h); INVALID_HANDLE_VALUE: none.
void SetStdOutMirror(HANDLE console);

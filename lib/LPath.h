#pragma once

#include "LString.h"

// The character that separates directories in this platform's paths.
extern const LChar kPathSeparator;

// The full path of the running program's executable file; false when it cannot be
// found (into is then empty).
bool LProgramFilePath(LString& into);

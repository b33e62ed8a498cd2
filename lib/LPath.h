#pragma once

#include <string>

#include "LString.h"

// The character that separates directories in this platform's paths.
extern const LChar kPathSeparator;

// The full path of the running program's executable file; false when it cannot be
// found (into is then empty).
bool LProgramFilePath(LString& into);

// A path in the form that reaches past MAX_PATH where the platform needs one: on
// Windows a name whose full path is MAX_PATH characters or longer becomes
// "\\?\C:\..." or "\\?\UNC\server\share\...". Any other name is returned as given.
std::u16string LLongPathForm(const LChar* path);

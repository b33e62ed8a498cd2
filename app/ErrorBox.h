#pragma once

#include "LString.h"

// Shows an error message that the user must acknowledge.
void ShowErrorBox(const LChar* text, const LChar* caption);

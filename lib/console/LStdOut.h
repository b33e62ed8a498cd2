#pragma once

#include <cstdint>

#include "LString.h"

// Standard output, unbuffered: every text reaches the console before the call
// returns, because countdowns and indicators take their cell from the cursor that
// the text leaves behind. Texts are written as they are, "\r\n" included.
void StdOutWrite(const LChar* text, int32_t length);
void StdOutWrite(const LChar* text);
void StdOutWrite(const LString& text);
// printf-style formatting of ASCII text.
void StdOutFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

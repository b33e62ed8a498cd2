#pragma once

#include <cstdint>
#include <ctime>

#include "LString.h"

// The two calendar services that differ between platforms.

// The local broken-down time of an instant in seconds since 1970-01-01 UTC; false
// when the C library cannot convert it.
bool LLocalTimeFromValue(int64_t seconds, std::tm& into);

// The time formatted by the C library's wide strftime into a buffer of `capacity`
// characters, the terminating zero included; false when nothing was written, that
// is when the text did not fit or was empty.
bool LFormatTime(const LChar* format, const std::tm& time, int32_t capacity, LString& into);

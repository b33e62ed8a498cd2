#pragma once

#include <cstdint>

// Every wait of the program goes through LSleep, so that tests can put a virtual
// clock in place of real time.
void LSleep(uint32_t milliseconds);

using LSleepFunction = void (*)(uint32_t milliseconds);
// Replaces the sleep function (null restores real sleeping); returns the previous one.
LSleepFunction LSetSleepFunction(LSleepFunction function);

// Real sleeping, whatever function is installed.
void LSleepReal(uint32_t milliseconds);

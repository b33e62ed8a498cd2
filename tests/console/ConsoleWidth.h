#pragma once

#include <cstdint>

// Makes the console's buffer the given number of columns wide, as Windows 10 does
// to it, re-wrapping, when its window's width changes; false where a program cannot
// (a terminal on Linux).
bool SetConsoleWidth(int32_t columns);

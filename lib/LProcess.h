#pragma once

#include <cstdint>

// The number the system gives the running process, unique among running processes.
uint32_t LProcessId();

// Opens standard input, output and error on the null device where they are closed
// at the start, before anything else opens a file: a file opened later would
// otherwise take the place of one, and the program's text would land in it.
void LOpenClosedStandardStreams();

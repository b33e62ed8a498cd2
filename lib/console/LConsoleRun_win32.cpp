#include "LConsoleRun.h"

// The Windows console keeps its own modes for the program and needs nothing
// registered: each prompt sets what it uses.
LConsoleRun::LConsoleRun() = default;
LConsoleRun::~LConsoleRun() = default;

#include "LConsole.h"

// The console's program-wide object, for the test program of the console alone.
LConsole g_console;

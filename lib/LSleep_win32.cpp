#include <windows.h>

#include "LSleep.h"

void LSleepReal(uint32_t milliseconds) {
    Sleep(milliseconds);
}

#include "ConsoleWidth.h"

bool SetConsoleWidth(int32_t) {
    return false;
}

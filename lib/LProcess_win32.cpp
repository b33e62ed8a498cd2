#include <windows.h>

#include "LProcess.h"

uint32_t LProcessId() {
    return GetCurrentProcessId();
}

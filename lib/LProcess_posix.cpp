#include <unistd.h>

#include "LProcess.h"

uint32_t LProcessId() {
    return static_cast<uint32_t>(getpid());
}

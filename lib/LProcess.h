#pragma once

#include <cstdint>

// The number the system gives the running process, unique among running processes.
uint32_t LProcessId();

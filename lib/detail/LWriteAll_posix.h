#pragma once

#include <string>

// Writes all bytes to the descriptor, going on after interrupted and partial writes;
// false when it cannot.
bool LWriteAll(int fd, const std::string& bytes);

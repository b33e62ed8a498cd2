#pragma once

#include <windows.h>

#include <string>

// Writes all bytes to the file, going on after partial writes; false when it cannot.
bool LWriteAll(HANDLE file, const std::string& bytes);

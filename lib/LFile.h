#pragma once

#include "LString.h"

// A file handle of the platform; null when no file is open.
using LFileHandle = void*;

// Opens (creating if needed) a file for appending; null on failure.
LFileHandle LFileOpenForAppend(const LChar* path);
bool LFileClose(LFileHandle file);
// Moves a file from one full path to another.
bool LFileMove(const LChar* from, const LChar* to);

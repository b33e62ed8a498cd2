#pragma once

#include <cstdint>

#include "LConsole.h"
#include "LString.h"

// The terminal on standard output: everything the program writes to it passes
// through here (see the .cpp for how the cursor is kept).
namespace terminal {

// Whether standard output is a terminal.
bool IsTerminal();

// Writes text at the cursor: through the cursor's bookkeeping on a terminal, as it
// is to anything else. False when it cannot be written.
bool WriteText(const LChar* text, int32_t count);

// The cursor and the window's width; false when standard output is no terminal.
bool GetCursor(LConsolePosition& cursor, int32_t& width);
bool SetCursor(const LConsolePosition& position);
// Cells written from a position without moving the cursor, in the attribute given
// or, when it is negative, the current one.
bool WriteCells(const LConsolePosition& at, const LChar* cells, int32_t count, int32_t attribute);
bool GetAttribute(uint16_t& attribute);
bool SetAttribute(uint16_t attribute);

// Puts the terminal's colours back to its default when the program changed them;
// for the way out, from any thread.
void ResetColoursForExit();

}  // namespace terminal

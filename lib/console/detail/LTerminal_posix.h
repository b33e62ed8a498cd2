#pragma once

#include <cstdint>

#include "LConsole.h"
#include "LString.h"

// The terminal, which on Linux is the console: its screen, its keyboard and its
// modes. Everything the program sends to it, reads from it or sets on it passes
// through here, and the state behind that has this one owner (the .cpp tells how).
namespace terminal {

// The run's modes: no echo and no line editing, so that keys typed early wait,
// unshown, for the prompt, as they do in the Windows console; the terminal's signal
// keys stay on. They are set only in the foreground: a run in the background leaves
// the terminal to the shell until it is brought to the foreground.
void StartRun();
// The modes the program found, while it is stopped (Ctrl+Z); nothing is drawn from
// then until Resume, which the same thread calls once the program goes on.
void Suspend();
// Going on after a stop: the run's modes again, and the current line drawn anew on a
// fresh row, since others have written to the terminal meanwhile; then the other
// threads draw again.
void Resume();
// Looks, every 10 ms while the run lasts, for what no signal reliably tells: the
// program brought to the foreground, and a window whose size has settled after a
// change, after which the live line is drawn again. Never waits for the lock.
void Poll();
// The modes and colours the program found, for good. It waits only briefly for
// another thread's write: the way out of a signal calls it too.
void RestoreForExit();

// Writes to standard output: through the console's bookkeeping when standard output
// is the console's terminal, as it is to anything else. False when it cannot.
bool WriteStandardOutput(const LChar* text, int32_t count);

// While a dialogue asks the user something (LConsoleDialogue.h).
void BeginDialogue();
void EndDialogue();

// Whether there is a console: standard output's terminal or, when standard output
// goes elsewhere, the keyboard's. The echo of typed digits and the prompt's error go
// there, and never into a file.
bool HasConsole();
// Writes text at the console's cursor.
bool WriteText(const LChar* text, int32_t count);
// The cursor and the width of the buffer as the program sees it (see
// LTerminalModel_posix.h); false without a console.
bool GetCursor(LConsolePosition& cursor, int32_t& width);
bool SetCursor(const LConsolePosition& position);
// Cells written from a position without moving the cursor, in the attribute given
// or, when it is negative, the current one.
bool WriteCells(const LConsolePosition& at, const LChar* cells, int32_t count, int32_t attribute);
bool GetAttribute(uint16_t& attribute);
bool SetAttribute(uint16_t attribute);

// Whether standard input is the program's own terminal, to read keys from.
bool HasKeyboard();
// Waits for the next key and returns its code (see LKeyboard.h), or
// keyboard::kNoInput when there is no keyboard: standard input is no terminal, or not
// the program's own (started with setsid), or can no longer be read.
int32_t ReadKey();
// Whether a key is waiting to be read.
bool KeyWaiting();

}  // namespace terminal

#pragma once

#include <windows.h>

#include <cstdint>

// The line the program is working on in the Windows console (a disc's line with its
// spinner or countdown, or the prompt with its digits and error), kept as the
// program wrote it. Windows 10 and later re-wrap the console buffer when its width
// changes, and Windows Terminal does the same through its pseudo-console: every
// position taken before then points into other text. So the width is looked at
// before every positioned write and every 10 ms while the prompt waits; after a
// change the line is written again after CR LF at the cursor the console then
// reports, and the generation counts up, so that no position from before is used.
//
// Documented calls only: GetConsoleScreenBufferInfo (dwSize.X, the buffer's width,
// and dwCursorPosition), WriteConsoleW at the cursor, SetConsoleTextAttribute and
// SetConsoleCursorPosition. Where conhost leaves the cursor after a re-wrap is not
// documented, and nothing here relies on it.
namespace liveline {

// Text about to be written at the cursor, control characters included.
void Text(HANDLE console, const wchar_t* text, int32_t count);
// Cells about to be written from a position, in an attribute or, when it is
// negative, as they are; false when the line was drawn again first, which makes the
// position stale: the write must not happen.
bool Cells(HANDLE console, const wchar_t* cells, int32_t count, COORD at, int32_t attribute);
// Attributes about to be given to cells; false as for Cells.
bool Attributes(HANDLE console, WORD attribute, int32_t count, COORD at);
// The cursor about to be moved; false as for Cells.
bool Cursor(HANDLE console, COORD to);
// Draws the line again when the width changed; true when it did.
bool FollowWidth(HANDLE console);
// How many times the line has been drawn again.
uint32_t Generation();

}  // namespace liveline

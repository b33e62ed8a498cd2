#pragma once

#include <cstdint>

#include "LConsole.h"

// The cell a number of cells on from a position (back, when negative), counting
// across row ends in a buffer of the given width.
LConsolePosition LConsoleOffset(const LConsolePosition& from, int32_t cells, int32_t width);

// A cell of the console that text is written from, followed through the line being
// drawn again elsewhere (a window re-wrapped, a stop and a continue): the text
// written from the cell then ends at the cursor.
class LConsoleCell {
public:
    // The cell at the cursor.
    LConsoleCell();
    explicit LConsoleCell(const LConsolePosition& at);

    // Where the cell is: where it was, unless the line has been drawn again since,
    // when it lies the `written` cells of its text back from the cursor.
    LConsolePosition Where(int32_t written = 0);

private:
    LConsolePosition at_{};
    uint32_t generation_;
};

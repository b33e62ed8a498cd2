#pragma once

#include <cstdint>
#include <string>

#include "LConsole.h"
#include "LString.h"

namespace terminal {

// What the program knows of the terminal's screen without ever asking it: where the
// cursor is, in buffer coordinates counted from the row the program started on, and
// the bytes that write there. Pure bookkeeping: the caller writes the bytes it is
// given, in order, and nothing else, so that the model and the terminal agree.
//
// Rules of the terminal that the model follows (those of xterm, which every common
// terminal shares):
// - a printable character goes at the cursor and advances it; in the last column
//   the cursor stays and a wrap is pending, resolved by the next printable
//   character, which goes to column 0 of the next row (scrolling at the bottom);
// - CR goes to column 0, LF one row down (and to column 0 when the terminal maps
//   LF to CR LF), and both clear a pending wrap, as every cursor move does;
// - cursor up and down stop at the window's edges and never scroll.
class ScreenModel {
public:
    // The window's size; values below 1 count as 1.
    void SetSize(int32_t width, int32_t height);
    // Whether the terminal turns LF into CR LF on output.
    void SetNewlineReturns(bool returns) { newlineReturns_ = returns; }

    int32_t Width() const { return width_; }
    // Where the next character written goes: past a pending wrap, column 0 of the
    // next row.
    LConsolePosition Cursor() const;
    uint16_t Attribute() const { return attribute_; }

    // Follows text written at the cursor; returns its bytes.
    std::string Text(const LChar* text, int32_t count);
    // The bytes that select an attribute for what follows.
    std::string SetAttribute(uint16_t attribute);
    // The bytes that move the cursor; false, and no bytes, for a position outside
    // the buffer. A row that has scrolled out of the window is out of reach: the
    // cursor goes to the top row in view.
    bool MoveCursor(const LConsolePosition& position, std::string& bytes);
    // The bytes that write cells, one UTF-16 unit each, from a position onwards
    // (continuing on the next rows, as the console does), in the given attribute or,
    // when it is negative, the current one, and then bring the cursor back to where
    // it was. Cells on rows out of the window are not drawn but count as written.
    // False for a position outside the buffer.
    bool WriteCells(const LConsolePosition& at, const LChar* cells, int32_t count,
                    int32_t attribute, std::string& bytes);

    // The bytes that select the attribute.
    static std::string Colours(uint16_t attribute);
    static constexpr uint16_t kDefaultAttribute = 7;

private:
    struct Cell {
        std::string bytes = " ";
        uint16_t attribute = kDefaultAttribute;
    };

    int32_t TopRowInView() const;
    bool InBuffer(const LConsolePosition& position) const;
    // Moves the terminal's cursor (and the model's) to a cell of a reachable row.
    void MoveTo(int32_t row, int32_t column, std::string& bytes);
    // Puts the cursor back where the program left it, pending wrap included.
    void Return(int32_t row, int32_t column, bool pending, const Cell& last, std::string& bytes);

    int32_t width_ = 80;
    int32_t height_ = 24;
    bool newlineReturns_ = true;
    uint16_t attribute_ = kDefaultAttribute;

    int32_t row_ = 0;
    int32_t column_ = 0;
    bool pendingWrap_ = false;
    // The cell written in the last column when the wrap became pending: writing it
    // again is the only way to make a wrap pending again after the cursor has moved.
    Cell lastCell_;
    // The furthest row down that the cursor has reached: the window shows it, and
    // every row less than one window height above it.
    int32_t bottomRow_ = 0;
};

}  // namespace terminal

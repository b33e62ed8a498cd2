#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "LConsole.h"
#include "LString.h"

namespace terminal {

// What the program knows of the terminal's screen without ever asking it, and the
// bytes that write there. Pure bookkeeping: the caller writes the bytes it is given,
// in order, and nothing else, so that the model and the terminal agree.
//
// A position the program is given is (offset, line): the cell's offset in its
// logical line, the text since the last line feed however many rows it wraps over,
// and that line's number since the program started. Only the current line (the
// live line: the prompt with its digits and error, or a disc line with its
// spinner or countdown) is written to; an earlier one has scrolled away, as rows do
// out of a console buffer. Within one window size the model knows where each cell
// of the live line is: the row a line break began it on, the rows it wrapped onto,
// and the rows that scrolled out of a short window.
//
// When the window's size changes, a terminal may re-wrap the rows it shows (tmux,
// VTE, Windows Terminal) or keep them as they were (xterm, the Linux console), and
// the program cannot tell which without asking. So no position from before a change
// is used again: the live line becomes stale, cells written to it are only noted,
// and it is drawn again (Refresh) on the cursor's row, blanked first, before the
// cursor is next moved or once the size has settled; later edits are relative to
// that copy. Rows of the line above the cursor's stay on the screen as history.
//
// Rules of the terminal that the model follows (those of xterm, which every common
// terminal shares): a printable character goes at the cursor and advances it; in
// the last column the cursor stays and a wrap is pending, resolved by the next
// printable character, which goes to column 0 of the next row (scrolling at the
// bottom); CR goes to column 0 and LF one row down, both clearing a pending wrap, as
// every cursor move does; cursor up and down stop at the window's edges. A row that
// text wrapped from is joined to the next one by terminals that re-wrap, until it
// is erased.
class ScreenModel {
public:
    // How wide the program is told the buffer is: wider than any line it writes, so
    // that to the program a logical line is one row.
    static constexpr int32_t kLineCells = 1 << 20;
    static constexpr uint16_t kDefaultAttribute = 7;

    // The window's size; values below 1 count as 1. A size other than the last one
    // makes the live line stale.
    void SetSize(int32_t width, int32_t height);
    // Whether the live line must be drawn again before its cells can be placed.
    bool Stale() const { return stale_; }
    // Whether the live line holds anything to draw again.
    bool HasLine() const { return !cells_.empty(); }
    // Whether the terminal turns LF into CR LF on output.
    void SetNewlineReturns(bool returns) { newlineReturns_ = returns; }

    // Where the next character written goes.
    LConsolePosition Cursor() const { return {offset_, line_}; }
    uint16_t Attribute() const { return attribute_; }

    // Follows text written at the cursor; returns its bytes.
    std::string Text(const LChar* text, int32_t count);
    // The bytes that select an attribute for what follows.
    std::string SetAttribute(uint16_t attribute);
    // The bytes that move the cursor, drawing a stale live line again first; false,
    // and no bytes, for a position that is not on the current line. A row scrolled
    // out of the window is out of reach: the line is drawn again from the top row in
    // view when it fits there from that row on; otherwise the cursor goes to the top
    // row in view instead.
    bool MoveCursor(const LConsolePosition& position, std::string& bytes);
    // The bytes that write cells, one UTF-16 unit each, from a position onwards, in
    // the given attribute or, when it is negative, the current one, and then bring
    // the cursor back. Cells out of the window are not drawn but count as written,
    // and so do cells of an earlier line and of a stale live line. False for a
    // position after the current line.
    bool WriteCells(const LConsolePosition& at, const LChar* cells, int32_t count,
                    int32_t attribute, std::string& bytes);
    // The bytes that blank the cursor's row and those below it, which hold only cells
    // of the live line, and draw the whole line there again, with the cursor where it
    // was in it.
    std::string Refresh();
    // The bytes that draw the current line again on a fresh row, with the cursor
    // where it was in it: for when others have written to the terminal meanwhile, as
    // a shell does while the program is stopped.
    std::string Redraw();
    // The bytes that draw the current line again over itself, from the row it begins
    // on as counted up from wherever the terminal's cursor is now, with the cursor
    // where it was in it: for when another writer may have put text at the cursor
    // since the last step, as a program copying standard output to the same terminal
    // (tee) does at a moment of its own. A stale line is drawn as Refresh draws it.
    std::string Repaint();

    // The bytes that select the attribute.
    static std::string Colours(uint16_t attribute);

private:
    struct Cell {
        std::string bytes = " ";
        uint16_t attribute = kDefaultAttribute;
    };

    int32_t Length() const { return static_cast<int32_t>(cells_.size()); }
    // The row of the line the terminal's cursor is on: with a wrap pending, the row of
    // the last cell written.
    int32_t CursorRow() const { return (pendingWrap_ ? offset_ - 1 : offset_) / width_; }
    bool Reachable(int32_t offset) const;
    void Select(uint16_t attribute, std::string& bytes);
    // Writes a cell at the cursor and moves the cursor on.
    void Draw(const Cell& cell, std::string& bytes);
    // The line's length without the blanks in the default colours that end it.
    int32_t TextLength() const;
    // Whether the line, drawn from the start of a row, shows in the window from the
    // row of an offset to its end.
    bool FitsFrom(int32_t offset) const;
    // Draws the line's text from the cursor, at offset 0, and puts the cursor at an
    // offset of it.
    void DrawLine(int32_t to, std::string& bytes);
    // Draws the line again from its first row, or from the top row in view when that
    // one has scrolled out, blanking those rows first, and puts the cursor at an
    // offset of it.
    void DrawInView(int32_t to, std::string& bytes);
    // Moves the terminal's cursor to an offset of the current line, which writes
    // blanks first where the line ends before it, and draws the line again first
    // where that brings a row scrolled out of the window back into reach (unless
    // told not to).
    void MoveTo(int32_t offset, std::string& bytes, bool mayDrawAgain = true);
    void MoveRows(int32_t rows, std::string& bytes);

    int32_t width_ = 80;
    int32_t height_ = 24;
    bool sized_ = false;
    bool stale_ = false;
    bool newlineReturns_ = true;
    uint16_t attribute_ = kDefaultAttribute;
    // The attribute the terminal draws in now; kUnknown when that cannot be told.
    static constexpr uint32_t kUnknown = 0x10000;
    uint32_t drawing_ = kDefaultAttribute;

    int32_t line_ = 0;
    std::vector<Cell> cells_;  // the current line's
    int32_t offset_ = 0;
    bool pendingWrap_ = false;
    // Rows above the cursor's that the window surely shows: a move up goes no
    // further, since the terminal would stop the cursor at its top row.
    int32_t rowsAboveInView_ = 0;
};

}  // namespace terminal

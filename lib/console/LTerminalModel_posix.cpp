#include "LTerminalModel_posix.h"

#include <algorithm>

#include "LUtf.h"

namespace terminal {
namespace {

std::string Csi(int64_t count, char command) {
    return "\x1b[" + std::to_string(count) + command;
}

// C0 and C1 controls and DEL take no cell.
bool TakesNoCell(LChar ch) {
    return ch < 0x20 || (ch >= 0x7F && ch < 0xA0);
}

}  // namespace

void ScreenModel::SetSize(int32_t width, int32_t height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (sized_ && (width != width_ || height != height_)) {
        stale_ = true;
    }
    sized_ = true;
    width_ = width;
    height_ = height;
    rowsAboveInView_ = std::min(rowsAboveInView_, height_ - 1);
}

std::string ScreenModel::Text(const LChar* text, int32_t count) {
    std::string bytes;
    Select(attribute_, bytes);
    for (int32_t i = 0; i < count; ++i) {
        const LChar ch = text[i];
        if (ch == u'\r') {
            offset_ = CursorRow() * width_;
            pendingWrap_ = false;
            bytes += '\r';
        } else if (ch == u'\n') {
            // Rows of the line below the cursor's (an error blanked past the row's end,
            // say) are erased as the new line begins in them: erasing a row forgets
            // that it wrapped, so that no terminal joins the new line to the rows
            // around it when it re-wraps them.
            // A stale line's rows are where the terminal put them: any may lie below.
            const bool rowsBelow =
                stale_ || (Length() > 0 && (Length() - 1) / width_ > CursorRow());
            const int32_t column = newlineReturns_ ? 0 : offset_ - CursorRow() * width_;
            ++line_;
            cells_.assign(static_cast<std::size_t>(std::min(column, width_ - 1)), Cell{});
            offset_ = Length();
            pendingWrap_ = false;
            rowsAboveInView_ = std::min(rowsAboveInView_ + 1, height_ - 1);
            // A new line begins at the row's start: its cells are where the model says.
            stale_ = stale_ && !newlineReturns_;
            bytes += rowsBelow ? "\n\x1b[J" : "\n";
        } else if (ch == u'\b') {
            // As tmux does: back from a pending wrap onto the last cell.
            if (pendingWrap_ || offset_ % width_ != 0) {
                --offset_;
            }
            pendingWrap_ = false;
            bytes += '\b';
        } else if (ch == u'\t') {
            const int32_t row = CursorRow() * width_;
            offset_ = row + std::min(width_ - 1, ((offset_ - row) / 8 + 1) * 8);
            pendingWrap_ = false;
            if (offset_ > Length()) {
                cells_.resize(static_cast<std::size_t>(offset_));
            }
            bytes += '\t';
        } else if (TakesNoCell(ch)) {
            bytes += Utf8FromUtf16(text + i, 1);
        } else {
            const std::size_t units =
                CodePointAt(text, static_cast<std::size_t>(i), static_cast<std::size_t>(count))
                    .units;
            Draw({Utf8FromUtf16(text + i, units), attribute_}, bytes);
            i += static_cast<int32_t>(units) - 1;
        }
    }
    return bytes;
}

std::string ScreenModel::SetAttribute(uint16_t attribute) {
    attribute_ = attribute;
    std::string bytes;
    Select(attribute, bytes);
    return bytes;
}

bool ScreenModel::Reachable(int32_t offset) const {
    return offset / width_ >= CursorRow() - rowsAboveInView_;
}

void ScreenModel::Select(uint16_t attribute, std::string& bytes) {
    if (drawing_ != attribute) {
        bytes += Colours(attribute);
        drawing_ = attribute;
    }
}

void ScreenModel::Draw(const Cell& cell, std::string& bytes) {
    Select(cell.attribute, bytes);
    bytes += cell.bytes;
    if (pendingWrap_) {
        // The terminal goes on at the start of the next row, which it makes when needed.
        rowsAboveInView_ = std::min(rowsAboveInView_ + 1, height_ - 1);
    }
    if (offset_ >= Length()) {
        cells_.resize(static_cast<std::size_t>(offset_));
        cells_.push_back(cell);
    } else {
        cells_[static_cast<std::size_t>(offset_)] = cell;
    }
    ++offset_;
    pendingWrap_ = offset_ % width_ == 0;
}

void ScreenModel::MoveRows(int32_t rows, std::string& bytes) {
    if (rows < 0) {
        bytes += Csi(-rows, 'A');
    } else if (rows > 0) {
        bytes += Csi(rows, 'B');
    }
    rowsAboveInView_ = std::max(0, std::min(rowsAboveInView_ + rows, height_ - 1));
}

int32_t ScreenModel::TextLength() const {
    int32_t length = Length();
    while (length > 0 && cells_[static_cast<std::size_t>(length - 1)].bytes == " " &&
           cells_[static_cast<std::size_t>(length - 1)].attribute == kDefaultAttribute) {
        --length;
    }
    return length;
}

bool ScreenModel::FitsFrom(int32_t offset) const {
    const int32_t end = TextLength();
    if (offset >= end) {
        return true;
    }
    // With a wrap pending after the last cell, the cursor stays on that cell's row.
    const int32_t lastRow = (end % width_ == 0 ? end - 1 : end) / width_;
    return lastRow - offset / width_ < height_;
}

void ScreenModel::MoveTo(int32_t offset, std::string& bytes, bool mayDrawAgain) {
    const int32_t length = Length();
    const bool pendingThere = offset == length && offset > 0 && offset % width_ == 0;
    if (offset == offset_ && pendingWrap_ == pendingThere) {
        return;
    }
    if (offset > length) {
        // Blanks, rather than line feeds, make the rows up to there, so that they stay
        // one line that the terminal re-wraps as a whole.
        MoveTo(length, bytes, mayDrawAgain);
        while (offset_ < offset) {
            Draw({" ", attribute_}, bytes);
        }
        return;
    }
    if (pendingThere) {
        // Just past the line's last cell, at the end of a row: the row after it is not
        // made yet, so the last cell is written again to leave the wrap pending.
        MoveTo(offset - 1, bytes, mayDrawAgain);
        Draw(cells_[static_cast<std::size_t>(offset - 1)], bytes);
        return;
    }
    if (!Reachable(offset)) {
        // A row scrolled out of the window is out of reach. When the line from that
        // row to its end fits in the window, the line is drawn again from the top row
        // in view (the rows above stay as history) and the cell is reached there.
        if (mayDrawAgain && FitsFrom(offset)) {
            DrawInView(offset, bytes);
            return;
        }
        // Otherwise the terminal stops the cursor at the top row in view, and the model
        // goes there too.
        offset = (CursorRow() - rowsAboveInView_) * width_ + offset % width_;
    }
    MoveRows(offset / width_ - CursorRow(), bytes);
    bytes += Csi(offset % width_ + 1, 'G');
    offset_ = offset;
    pendingWrap_ = false;
}

bool ScreenModel::MoveCursor(const LConsolePosition& position, std::string& bytes) {
    if (position.y != line_ || position.x < 0 || position.x >= kLineCells) {
        return false;
    }
    if (stale_) {
        bytes += Refresh();
    }
    MoveTo(position.x, bytes);
    Select(attribute_, bytes);
    return true;
}

bool ScreenModel::WriteCells(const LConsolePosition& at, const LChar* cells, int32_t count,
                             int32_t attribute, std::string& bytes) {
    if (at.y < line_) {
        return true;
    }
    if (at.y > line_ || at.x < 0 || at.x >= kLineCells) {
        return false;
    }
    const int32_t back = offset_;
    const uint16_t colour = attribute < 0 ? attribute_ : static_cast<uint16_t>(attribute);
    count = std::min(count, kLineCells - at.x);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t offset = at.x + i;
        // Character 0 is a blank cell on the console.
        Cell cell{cells[i] == 0 ? std::string(" ") : Utf8FromUtf16(cells + i, 1), colour};
        if (stale_) {
            // Noted in the line, and drawn with it when it is drawn again.
            if (offset >= Length()) {
                cells_.resize(static_cast<std::size_t>(offset) + 1);
            }
            cells_[static_cast<std::size_t>(offset)] = cell;
            continue;
        }
        if (!Reachable(offset)) {
            cells_[static_cast<std::size_t>(offset)] = cell;  // above the cursor: in the line
            continue;
        }
        if (offset != offset_) {
            MoveTo(offset, bytes);
        }
        Draw(cell, bytes);
    }
    if (!stale_) {
        MoveTo(back, bytes);
    }
    Select(attribute_, bytes);
    return true;
}

void ScreenModel::DrawLine(int32_t to, std::string& bytes) {
    // Blanks after the last cell that shows (an error blanked again) are left to the
    // erased rows: drawn, they would make the line longer than its text and could push
    // its start, and the cursor's cell, out of a short window.
    cells_.resize(static_cast<std::size_t>(TextLength()));
    std::vector<Cell> cells;
    cells.swap(cells_);
    offset_ = 0;
    pendingWrap_ = false;
    rowsAboveInView_ = 0;
    stale_ = false;
    for (const Cell& cell : cells) {
        Draw(cell, bytes);
    }
    MoveTo(to, bytes, false);
    Select(attribute_, bytes);
}

void ScreenModel::DrawInView(int32_t to, std::string& bytes) {
    // The rows from there down hold cells of the live line and nothing else that is
    // the program's; rows of the line above, out of the window, stay as history.
    MoveRows(-std::min(CursorRow(), rowsAboveInView_), bytes);
    bytes += "\r\x1b[J";
    DrawLine(to, bytes);
}

std::string ScreenModel::Refresh() {
    // The cursor's row and the rows below it hold cells of the live line and nothing
    // else, however the terminal laid the line out after the change; the rows above
    // may hold its beginning, which stays as history.
    std::string bytes = "\r\x1b[J";
    drawing_ = kUnknown;
    DrawLine(offset_, bytes);
    return bytes;
}

std::string ScreenModel::Redraw() {
    // Whatever came out meanwhile may have left other colours, and rows of its own;
    // the fresh row and those below it are the line's.
    std::string bytes = "\r\n\x1b[J";
    drawing_ = kUnknown;
    DrawLine(offset_, bytes);
    return bytes;
}

std::string ScreenModel::Repaint() {
    if (stale_) {
        return Refresh();
    }
    // The line's rows as the model counts them up from the cursor; where another
    // writer's text moved the cursor on, they begin lower, and what the line showed
    // above stays as history.
    std::string bytes;
    drawing_ = kUnknown;
    DrawInView(offset_, bytes);
    return bytes;
}

// Windows colour bits are blue 1, green 2, red 4; ANSI colour numbers are red 1,
// green 2, blue 4. Bit 8 is the bright variant.
std::string ScreenModel::Colours(uint16_t attribute) {
    if (attribute == kDefaultAttribute) {
        return "\x1b[0m";
    }
    auto ansi = [](unsigned colour) {
        return ((colour & 1) << 2) | (colour & 2) | ((colour & 4) >> 2);
    };
    unsigned foreground = attribute & 0x0F;
    unsigned background = (attribute >> 4) & 0x0F;
    unsigned fg = ((foreground & 8) ? 90 : 30) + ansi(foreground);
    unsigned bg = ((background & 8) ? 100 : 40) + ansi(background);
    return "\x1b[0;" + std::to_string(fg) + ";" + std::to_string(bg) + "m";
}

}  // namespace terminal

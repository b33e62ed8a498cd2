#include "LTerminalModel_posix.h"

#include <algorithm>

#include "LUtf.h"

namespace terminal {
namespace {

std::string Csi(int64_t count, char command) {
    return "\x1b[" + std::to_string(count) + command;
}

bool IsHighSurrogate(LChar ch) {
    return ch >= 0xD800 && ch <= 0xDBFF;
}

bool IsLowSurrogate(LChar ch) {
    return ch >= 0xDC00 && ch <= 0xDFFF;
}

// C0 and C1 controls and DEL take no cell.
bool TakesNoCell(LChar ch) {
    return ch < 0x20 || (ch >= 0x7F && ch < 0xA0);
}

// Character 0 is a blank cell on the console.
std::string CellBytes(const LChar* cells, int32_t count) {
    std::u16string text(cells, static_cast<std::size_t>(count));
    std::replace(text.begin(), text.end(), u'\0', u' ');
    return Utf8FromUtf16(text.data(), text.size());
}

}  // namespace

void ScreenModel::SetSize(int32_t width, int32_t height) {
    width_ = width < 1 ? 1 : width;
    height_ = height < 1 ? 1 : height;
    column_ = std::min(column_, width_ - 1);
}

LConsolePosition ScreenModel::Cursor() const {
    return pendingWrap_ ? LConsolePosition{0, row_ + 1} : LConsolePosition{column_, row_};
}

std::string ScreenModel::Text(const LChar* text, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        LChar ch = text[i];
        if (ch == u'\r') {
            column_ = 0;
            pendingWrap_ = false;
        } else if (ch == u'\n') {
            ++row_;
            column_ = newlineReturns_ ? 0 : column_;
            pendingWrap_ = false;
        } else if (ch == u'\b') {
            column_ = column_ > 0 ? column_ - 1 : 0;
            pendingWrap_ = false;
        } else if (ch == u'\t') {
            column_ = std::min(width_ - 1, (column_ / 8 + 1) * 8);
            pendingWrap_ = false;
        } else if (!TakesNoCell(ch)) {
            int32_t units =
                IsHighSurrogate(ch) && i + 1 < count && IsLowSurrogate(text[i + 1]) ? 2 : 1;
            if (pendingWrap_) {
                ++row_;
                column_ = 0;
                pendingWrap_ = false;
            }
            if (column_ >= width_ - 1) {
                column_ = width_ - 1;
                pendingWrap_ = true;
                lastCell_ = {Utf8FromUtf16(text + i, static_cast<std::size_t>(units)), attribute_};
            } else {
                ++column_;
            }
            i += units - 1;
        }
        bottomRow_ = std::max(bottomRow_, row_);
    }
    return Utf8FromUtf16(text, static_cast<std::size_t>(count < 0 ? 0 : count));
}

std::string ScreenModel::SetAttribute(uint16_t attribute) {
    attribute_ = attribute;
    return Colours(attribute);
}

int32_t ScreenModel::TopRowInView() const {
    return std::max(0, bottomRow_ - height_ + 1);
}

// Rows below the furthest one reached are made when they are first needed, up to a
// window's height further down.
bool ScreenModel::InBuffer(const LConsolePosition& position) const {
    return position.x >= 0 && position.x < width_ && position.y >= 0 &&
           int64_t{position.y} <= int64_t{bottomRow_} + height_ - 1;
}

void ScreenModel::MoveTo(int32_t row, int32_t column, std::string& bytes) {
    if (row < row_) {
        bytes += Csi(row_ - row, 'A');
    } else if (row > row_) {
        int32_t down = std::min(row, bottomRow_) - row_;
        if (down > 0) {
            bytes += Csi(down, 'B');
        }
        if (row > bottomRow_) {
            // Cursor down stops at the window's edge; line feeds make the rows.
            bytes.append(static_cast<std::size_t>(row - bottomRow_), '\n');
            bottomRow_ = row;
        }
    }
    bytes += Csi(column + 1, 'G');
    row_ = row;
    column_ = column;
    pendingWrap_ = false;
}

bool ScreenModel::MoveCursor(const LConsolePosition& position, std::string& bytes) {
    if (!InBuffer(position)) {
        return false;
    }
    MoveTo(std::max(position.y, TopRowInView()), position.x, bytes);
    return true;
}

void ScreenModel::Return(int32_t row, int32_t column, bool pending, const Cell& last,
                         std::string& bytes) {
    if (!pending) {
        MoveTo(row, column, bytes);
        return;
    }
    MoveTo(row, width_ - 1, bytes);
    if (last.attribute != attribute_) {
        bytes += Colours(last.attribute) + last.bytes + Colours(attribute_);
    } else {
        bytes += last.bytes;
    }
    pendingWrap_ = true;
    lastCell_ = last;
}

bool ScreenModel::WriteCells(const LConsolePosition& at, const LChar* cells, int32_t count,
                             int32_t attribute, std::string& bytes) {
    if (!InBuffer(at)) {
        return false;
    }
    const int32_t row = row_;
    const int32_t column = column_;
    const bool pending = pendingWrap_;
    Cell last = lastCell_;
    // The program's cursor must stay in view, so rows further down than a window
    // below it are not made.
    const int64_t lastRowInReach = int64_t{row} + height_ - 1;
    const uint16_t colour = attribute < 0 ? attribute_ : static_cast<uint16_t>(attribute);
    const std::string before = colour != attribute_ ? Colours(colour) : std::string();
    const std::string after = colour != attribute_ ? Colours(attribute_) : std::string();

    const int64_t start = int64_t{at.y} * width_ + at.x;
    for (int32_t i = 0; i < count;) {
        const int64_t cellRow = (start + i) / width_;
        const int32_t cellColumn = static_cast<int32_t>((start + i) % width_);
        const int32_t run = std::min(count - i, width_ - cellColumn);
        if (cellRow > lastRowInReach) {
            break;
        }
        if (cellRow >= TopRowInView()) {
            MoveTo(static_cast<int32_t>(cellRow), cellColumn, bytes);
            bytes += before + CellBytes(cells + i, run) + after;
            if (pending && cellRow == row && cellColumn + run == width_) {
                last = {CellBytes(cells + i + run - 1, 1), colour};
            }
        }
        i += run;
    }
    Return(row, column, pending, last, bytes);
    return true;
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

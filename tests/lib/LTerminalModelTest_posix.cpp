#include "LTerminalModel_posix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A terminal just capable enough to play back what the model writes, as tmux does:
// printable ASCII, CR, LF, cursor up, down and to a column (up and down stopping at
// the window's edges), colours (dropped), the wrap that stays pending after the last
// column, scrolling at the bottom, and re-wrapping its lines when its width changes,
// the cursor staying on its cell. Rows that scroll out are kept, so that a test can
// read every line.
class TinyTerminal {
public:
    TinyTerminal(int width, int height) : width_(width), height_(height), rows_(1) {}

    void Play(const std::string& bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const char ch = bytes[i];
            if (ch == '\x1b') {
                const std::size_t end = bytes.find_first_of("ABGm", i);
                Control(bytes[end], std::stoi("0" + bytes.substr(i + 2, end - i - 2)));
                i = end;
            } else if (ch == '\r') {
                column_ = 0;
            } else if (ch == '\n') {
                rows_[row_].wrapped = false;
                column_ = 0;
                Down();
            } else {
                if (column_ == width_) {
                    rows_[row_].wrapped = true;
                    column_ = 0;
                    Down();
                }
                std::string& text = rows_[row_].text;
                text.resize(std::max(text.size(), static_cast<std::size_t>(column_) + 1), ' ');
                text[static_cast<std::size_t>(column_++)] = ch;
            }
        }
    }

    // Re-wraps every line at the new width, and keeps the cursor on its cell: narrower,
    // the rows above go up into the history; wider, the cursor's row moves up.
    void Resize(int width) {
        std::vector<Row> rows;
        std::size_t cursorRow = 0;
        int cursorColumn = 0;
        for (std::size_t first = 0; first < rows_.size();) {
            std::string line;
            std::size_t offset = std::string::npos;
            std::size_t last = first;
            for (;; ++last) {
                if (last == row_) {
                    offset = line.size() + static_cast<std::size_t>(column_);
                }
                line += rows_[last].text;
                line.resize(rows_[last].wrapped ? line.size() + width_ - rows_[last].text.size()
                                                : line.size(),
                            ' ');
                if (!rows_[last].wrapped || last + 1 == rows_.size()) {
                    break;
                }
            }
            const std::size_t start = rows.size();
            for (std::size_t at = 0; at == 0 || at < line.size(); at += width) {
                rows.push_back({line.substr(at, width), at + width < line.size()});
            }
            if (offset != std::string::npos) {
                const bool pending = offset > 0 && offset == line.size() && offset % width == 0;
                cursorRow = start + (pending ? offset - 1 : offset) / width;
                cursorColumn = pending ? width : static_cast<int>(offset % width);
            }
            first = last + 1;
        }
        const int moved = static_cast<int>(row_) - static_cast<int>(cursorRow);
        top_ = std::max(0, top_ - (width > width_ ? 0 : moved));
        rows_ = rows;
        row_ = cursorRow;
        column_ = cursorColumn;
        width_ = width;
        top_ = std::min(top_, static_cast<int>(row_));
    }

    // The logical lines: rows joined where the terminal wrapped them.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines(1);
        for (const Row& row : rows_) {
            lines.back() += row.text;
            if (row.wrapped) {
                lines.back().resize(lines.back().size() + width_ - row.text.size(), ' ');
            } else {
                lines.back().erase(lines.back().find_last_not_of(' ') + 1);
                lines.emplace_back();
            }
        }
        lines.pop_back();
        return lines;
    }

private:
    struct Row {
        std::string text;
        bool wrapped = false;  // continues on the next row
    };

    void Down() {
        if (++row_ == rows_.size()) {
            rows_.emplace_back();
        }
        top_ = std::max(top_, static_cast<int>(row_) - height_ + 1);
    }
    void Control(char command, int count) {
        column_ = std::min(column_, width_ - 1);
        const int row = static_cast<int>(row_);
        if (command == 'A') {
            row_ = static_cast<std::size_t>(std::max(row - count, top_));
        } else if (command == 'B') {
            const int bottom = std::min(static_cast<int>(rows_.size()) - 1, top_ + height_ - 1);
            row_ = static_cast<std::size_t>(std::min(row + count, bottom));
        } else if (command == 'G') {
            column_ = count - 1;
        }
    }

    int width_;
    int height_;
    std::vector<Row> rows_;
    std::size_t row_ = 0;
    int column_ = 0;  // the width itself while a wrap is pending, as tmux keeps it
    int top_ = 0;     // the row at the window's top
};

struct Screen {
    terminal::ScreenModel model;
    TinyTerminal terminal;
    int height;
    Screen(int width, int height) : terminal(width, height), height(height) {
        model.SetSize(width, height);
    }

    void Text(const std::u16string& text) {
        terminal.Play(model.Text(text.data(), static_cast<int32_t>(text.size())));
    }
    bool Cells(LConsolePosition at, const std::u16string& cells, int32_t attribute = -1) {
        std::string bytes;
        const bool done = model.WriteCells(at, cells.data(), static_cast<int32_t>(cells.size()),
                                           attribute, bytes);
        terminal.Play(bytes);
        return done;
    }
    bool Move(LConsolePosition to) {
        std::string bytes;
        const bool done = model.MoveCursor(to, bytes);
        terminal.Play(bytes);
        return done;
    }
    void Resize(int width) {
        terminal.Resize(width);
        model.SetSize(width, height);
    }
    std::string Line(int32_t line) const {
        const auto lines = terminal.Lines();
        return static_cast<std::size_t>(line) < lines.size() ? lines[line] : "";
    }
    // The model's cursor, and where the terminal's next character really goes: on the
    // terminal's last line, whatever the shell wrote before it.
    void ExpectCursor(int32_t offset, int32_t line) {
        EXPECT_EQ(model.Cursor().x, offset);
        EXPECT_EQ(model.Cursor().y, line);
        terminal.Play("#");
        const std::string last = terminal.Lines().back();
        EXPECT_EQ(last.substr(static_cast<std::size_t>(offset), 1), "#") << last;
    }
};

TEST(ScreenModel, TextEndingAtTheRightEdgeKeepsItsPendingWrapAcrossPositionedWrites) {
    Screen screen(8, 5);
    screen.Text(u"\r\nabcdefgh");
    EXPECT_EQ(screen.model.Cursor().x, 8);    // the next character goes to the next row
    EXPECT_TRUE(screen.Cells({0, 1}, u"X"));  // as the countdown writes its digit
    EXPECT_TRUE(screen.Cells({8, 1}, u"|"));  // as the spinner draws at the cursor
    screen.Text(u"done.");
    EXPECT_EQ(screen.Line(1), "Xbcdefghdone.");
    screen.ExpectCursor(13, 1);
}

TEST(ScreenModel, CellsContinueOnTheNextRowAndTheCursorComesBack) {
    Screen screen(10, 5);
    screen.Text(u"prompt: 12");
    EXPECT_TRUE(screen.Cells({8, 0}, u"ERROR!"));  // wraps, as a fill does in the console
    EXPECT_EQ(screen.Line(0), "prompt: ERROR!");
    screen.ExpectCursor(10, 0);  // the text had left the cursor with a pending wrap
}

// The spinner's and the countdown's cells keep their place in the line whatever the
// width does meanwhile.
TEST(ScreenModel, StoredPositionsHoldAcrossResizes) {
    Screen screen(20, 10);
    screen.Text(u"Moving statistic:\r\nCD N1 (1:1) selecting: ");
    const LConsolePosition spinner = screen.model.Cursor();
    for (int width : {80, 20, 7, 33}) {
        screen.Resize(width);
        EXPECT_TRUE(screen.Cells(spinner, u"|"));
    }
    screen.Text(u"done. Waiting for 5 seconds: ");
    const LConsolePosition countdown = screen.model.Cursor();
    for (int width : {20, 80, 13}) {
        screen.Resize(width);
        EXPECT_TRUE(screen.Cells(countdown, u"4"));
    }
    screen.Text(u"done.\r\n");
    EXPECT_EQ(screen.Line(1), "CD N1 (1:1) selecting: done. Waiting for 5 seconds: done.");
    screen.ExpectCursor(0, 2);
}

TEST(ScreenModel, CellsOutOfTheWindowOrOnEarlierLinesAreNotDrawn) {
    Screen screen(10, 2);
    screen.Text(u"one\r\n0123456789abcdefghijABCDEFGHIJ");
    // The line's first row has scrolled out of a 2-row window.
    EXPECT_TRUE(screen.Cells({0, 1}, u"XX"));
    EXPECT_TRUE(screen.Cells({10, 1}, u"YY"));
    EXPECT_TRUE(screen.Cells({0, 0}, u"ZZZ"));
    EXPECT_FALSE(screen.Cells({0, 2}, u"?"));
    EXPECT_EQ(screen.terminal.Lines(),
              (std::vector<std::string>{"one", "0123456789YYcdefghijABCDEFGHIJ"}));
    EXPECT_FALSE(screen.Move({0, 0}));
    screen.ExpectCursor(30, 1);
}

// After a stop the shell has written its own lines; the current line comes again,
// in its colours, and the cursor where it was in it.
TEST(ScreenModel, RedrawPutsTheLineOnAFreshRow) {
    Screen screen(12, 10);
    screen.Text(u"number: ");
    EXPECT_TRUE(screen.Cells({8, 0}, u"Please!", LConsole::kBrightRed));
    screen.terminal.Play("\r\n[1] Stopped\r\n$ fg\r\n");
    const std::string bytes = screen.model.Redraw();
    screen.terminal.Play(bytes);
    EXPECT_NE(bytes.find("\x1b[0;91;40mPlease!"), std::string::npos);
    EXPECT_EQ(screen.terminal.Lines().back(), "number: Please!");
    EXPECT_TRUE(screen.Cells({8, 0}, u"       "));
    EXPECT_EQ(screen.terminal.Lines().back(), "number:");
    screen.ExpectCursor(8, 0);
}

TEST(ScreenModel, MovesStayOnTheCurrentLineAndMakeItLonger) {
    Screen screen(10, 4);
    screen.Text(u"ab\r\ncde");
    EXPECT_TRUE(screen.Move({14, 1}));  // past the end: blanks make the rows
    screen.ExpectCursor(14, 1);
    EXPECT_FALSE(screen.Move({0, 0}));
    EXPECT_FALSE(screen.Move({0, 2}));
    EXPECT_FALSE(screen.Move({-1, 1}));
}

}  // namespace

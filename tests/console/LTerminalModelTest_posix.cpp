#include "LTerminalModel_posix.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A terminal just capable enough to play back what the model writes: printable
// ASCII, CR, LF (with the return that the terminal's output mapping adds), cursor
// up, down and to a column, colours (dropped), the wrap that stays pending after
// the last column, and scrolling at the bottom. Rows that scroll out are kept, so
// that the test can see the whole buffer as the model counts it.
class TinyTerminal {
public:
    TinyTerminal(int width, int height) : width_(width), height_(height), rows_(1) {}

    void Play(const std::string& bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            char ch = bytes[i];
            if (ch == '\x1b') {
                std::size_t end = bytes.find_first_of("ABGm", i);
                int count = std::stoi("0" + bytes.substr(i + 2, end - i - 2));
                Control(bytes[end], count);
                i = end;
            } else if (ch == '\r') {
                column_ = 0;
                pending_ = false;
            } else if (ch == '\n') {
                column_ = 0;
                pending_ = false;
                Down();
            } else {
                if (pending_) {
                    column_ = 0;
                    pending_ = false;
                    Down();
                }
                Row(row_)[static_cast<std::size_t>(column_)] = ch;
                if (column_ == width_ - 1) {
                    pending_ = true;
                } else {
                    ++column_;
                }
            }
        }
    }

    // The buffer's rows, trailing blanks removed.
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (std::string row : rows_) {
            row.erase(row.find_last_not_of(' ') + 1);
            rows.push_back(row);
        }
        return rows;
    }
    int Row() const { return row_; }
    int Column() const { return column_; }
    int Top() const {
        return static_cast<int>(rows_.size()) - height_ < 0
                   ? 0
                   : static_cast<int>(rows_.size()) - height_;
    }

private:
    std::string& Row(int row) {
        std::string& text = rows_[static_cast<std::size_t>(row)];
        text.resize(static_cast<std::size_t>(width_), ' ');
        return text;
    }
    void Down() {
        ++row_;
        if (row_ == static_cast<int>(rows_.size())) {
            rows_.emplace_back();
        }
    }
    void Control(char command, int count) {
        pending_ = false;
        if (command == 'A') {
            row_ = std::max(row_ - count, Top());  // stops at the window's top
        } else if (command == 'B') {
            row_ = std::min(row_ + count, static_cast<int>(rows_.size()) - 1);
        } else if (command == 'G') {
            column_ = count - 1;
        }
    }

    int width_;
    int height_;
    std::vector<std::string> rows_;
    int row_ = 0;
    int column_ = 0;
    bool pending_ = false;
};

struct Screen {
    terminal::ScreenModel model;
    TinyTerminal terminal;
    Screen(int width, int height) : terminal(width, height) { model.SetSize(width, height); }

    void Text(const std::u16string& text) {
        terminal.Play(model.Text(text.data(), static_cast<int32_t>(text.size())));
    }
    bool Cells(LConsolePosition at, const std::u16string& cells, int32_t attribute = -1) {
        std::string bytes;
        bool done = model.WriteCells(at, cells.data(), static_cast<int32_t>(cells.size()),
                                     attribute, bytes);
        terminal.Play(bytes);
        return done;
    }
    bool Move(LConsolePosition to) {
        std::string bytes;
        bool done = model.MoveCursor(to, bytes);
        terminal.Play(bytes);
        return done;
    }
    // The model's cursor, an offset in a line, and the terminal's row and column where
    // the next character really goes.
    void ExpectCursor(LConsolePosition cursor, int column, int row) {
        EXPECT_EQ(model.Cursor().x, cursor.x);
        EXPECT_EQ(model.Cursor().y, cursor.y);
        terminal.Play("#");
        EXPECT_EQ(terminal.Rows()[static_cast<std::size_t>(row)].substr(
                      static_cast<std::size_t>(column), 1),
                  "#");
    }
};

using Rows = std::vector<std::string>;

TEST(ScreenModel, TextEndingAtTheRightEdgeKeepsItsPendingWrapAcrossPositionedWrites) {
    Screen screen(8, 5);
    screen.Text(u"\r\nabcdefgh");
    EXPECT_EQ(screen.model.Cursor().x, 8);    // the next character goes to the next row
    EXPECT_TRUE(screen.Cells({0, 1}, u"X"));  // as the countdown writes its digit
    EXPECT_TRUE(screen.Cells({8, 1}, u"|"));  // as the spinner draws at the cursor
    screen.Text(u"done.");
    EXPECT_EQ(screen.terminal.Rows(), (Rows{"", "Xbcdefgh", "done."}));
    screen.ExpectCursor({13, 1}, 5, 2);
}

TEST(ScreenModel, CellsContinueOnTheNextRowAndTheCursorComesBack) {
    Screen screen(10, 5);
    screen.Text(u"prompt: 12");
    EXPECT_TRUE(screen.Cells({8, 0}, u"ERROR!"));  // wraps, as a fill does in the console
    EXPECT_EQ(screen.terminal.Rows(), (Rows{"prompt: ER", "ROR!"}));
    screen.ExpectCursor({10, 0}, 0, 1);  // the text had left the cursor with a pending wrap
}

// Cells of rows scrolled out of the window, or of an earlier line, are not drawn, and
// the calls still succeed, as they do on a console's buffer.
TEST(ScreenModel, CellsOutOfTheWindowOrOnEarlierLinesAreNotDrawn) {
    Screen screen(10, 2);
    screen.Text(u"one\r\n0123456789abcdefghijABCDEFGHIJ");
    EXPECT_TRUE(screen.Cells({0, 1}, u"XX"));
    EXPECT_TRUE(screen.Cells({10, 1}, u"YY"));
    EXPECT_TRUE(screen.Cells({0, 0}, u"ZZZ"));
    EXPECT_FALSE(screen.Cells({0, 2}, u"?"));
    EXPECT_EQ(screen.terminal.Rows(), (Rows{"one", "0123456789", "YYcdefghij", "ABCDEFGHIJ"}));
    screen.ExpectCursor({30, 1}, 0, 4);
}

TEST(ScreenModel, CursorMovesStayOnTheCurrentLine) {
    struct Case {
        const char* what;
        LConsolePosition to;
        bool succeeds;
        LConsolePosition lands;
        int column;
        int row;
    };
    for (const Case& c :
         {Case{"back", {1, 1}, true, {1, 1}, 1, 1},
          Case{"past the end, making the line longer", {14, 1}, true, {14, 1}, 4, 2},
          Case{"an earlier line", {0, 0}, false, {3, 1}, 3, 1},
          Case{"a later line", {0, 2}, false, {3, 1}, 3, 1},
          Case{"before the line", {-1, 1}, false, {3, 1}, 3, 1}}) {
        SCOPED_TRACE(c.what);
        Screen screen(10, 4);
        screen.Text(u"ab\r\ncde");
        EXPECT_EQ(screen.Move(c.to), c.succeeds);
        screen.ExpectCursor(c.lands, c.column, c.row);
    }
    Screen scrolled(10, 2);
    scrolled.Text(u"0123456789abcdefghijKL");
    EXPECT_TRUE(scrolled.Move({3, 0}));
    scrolled.ExpectCursor({13, 0}, 3, 1);  // the line's first row is out of reach
}

// After a stop the shell has written its own lines; the current line comes again
// on a fresh row, in its colours, and the cursor where it was in it.
TEST(ScreenModel, RedrawPutsTheLineOnAFreshRow) {
    Screen screen(12, 10);
    screen.Text(u"number: ");
    EXPECT_TRUE(screen.Cells({8, 0}, u"Please!", LConsole::kBrightRed));
    screen.terminal.Play("\r\n[1] Stopped\r\n$ fg\r\n");
    const std::string bytes = screen.model.Redraw();
    screen.terminal.Play(bytes);
    EXPECT_NE(bytes.find("\x1b[0;91;40mPlease!"), std::string::npos);
    EXPECT_TRUE(screen.Cells({8, 0}, u"       "));
    EXPECT_EQ(screen.terminal.Rows(),
              (Rows{"number: Plea", "[1] Stopped", "$ fg", "", "number:", ""}));
    screen.ExpectCursor({8, 0}, 8, 4);
}

TEST(ScreenModel, ColouredCellsPutTheCurrentColoursBack) {
    terminal::ScreenModel model;
    std::string bytes;
    ASSERT_TRUE(model.WriteCells({0, 0}, u"  ", 2, LConsole::kBrightRed, bytes));
    // Red for the cells, then the cursor back, then the current colours again.
    EXPECT_NE(bytes.find("\x1b[0;91;40m  \x1b[1G\x1b[0m"), std::string::npos) << bytes;
    EXPECT_EQ(model.Attribute(), terminal::ScreenModel::kDefaultAttribute);
}

}  // namespace

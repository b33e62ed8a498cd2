#include "detail/LTerminalModel_posix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "TinyTerminal.h"

namespace {

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
        std::string shown = terminal.Rows().at(static_cast<std::size_t>(row));
        shown.resize(std::max(shown.size(), static_cast<std::size_t>(column) + 1), ' ');
        EXPECT_EQ(shown.substr(static_cast<std::size_t>(column), 1), "#");
    }
};

using Rows = std::vector<std::string>;

const std::u16string kPrompt = u"The flashing device will be number: ";
const std::u16string kError = u"Please, enter a valid number from 1 to 127.";

// The prompt's error written after the prompt on a line, then blanked, and the cursor
// back at the input position, as the prompt does it.
void ShowAndBlankError(Screen& screen, int32_t line) {
    screen.Text(kPrompt);
    screen.Text(kError);
    EXPECT_TRUE(screen.Cells({36, line}, std::u16string(kError.size(), u' ')));
    EXPECT_TRUE(screen.Move({36, line}));
}

Rows LastRows(TinyTerminal& terminal, std::size_t count) {
    const Rows rows = terminal.Rows();
    return Rows(rows.end() - static_cast<std::ptrdiff_t>(std::min(count, rows.size())), rows.end());
}

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

// In a window shorter than the prompt and its error, rows of the prompt have
// scrolled out by the time the error is blanked and the cursor goes back: the line is
// drawn again where the window shows it, and the digits typed next follow the prompt.
TEST(ScreenModel, BackOnARowScrolledOutTheLineIsDrawnAgainInView) {
    struct Case {
        int width;
        int height;
        Rows last;  // the window's rows at the end
        int column;
    };
    for (const Case& c : {Case{50, 1, {"The flashing device will be number: 12"}, 38},
                          Case{20, 2, {"The flashing device", "will be number: 12"}, 18},
                          Case{10, 4, {"The flashi", "ng device", "will be nu", "mber: 12"}, 8},
                          Case{10, 1, {"mber: 12"}, 8}}) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        Screen screen(c.width, c.height);
        screen.Text(u"\r\n");
        ShowAndBlankError(screen, 1);
        screen.Text(u"12");
        EXPECT_EQ(LastRows(screen.terminal, c.last.size()), c.last);
        screen.ExpectCursor({38, 1}, c.column, static_cast<int>(screen.terminal.Rows().size()) - 1);
    }
}

// The blanks of an error gone are no text of the line drawn again: drawn, they would
// take more rows than a window made short meanwhile has, and push the cursor's cell
// out of it.
TEST(ScreenModel, ALineDrawnAgainLeavesOutTheBlanksOfAnErrorGone) {
    struct Case {
        const char* what;
        bool stopped;
        TinyTerminal::Resize how;
    };
    for (const Case& c :
         {Case{"stopped, and narrowed meanwhile", true, TinyTerminal::Resize::kKeep},
          Case{"narrowed, rows re-wrapped", false, TinyTerminal::Resize::kRewrap},
          Case{"narrowed, rows kept", false, TinyTerminal::Resize::kKeep}}) {
        SCOPED_TRACE(c.what);
        Screen screen(40, 4);
        screen.Text(u"\r\n");
        ShowAndBlankError(screen, 1);
        screen.terminal.SetSize(10, 4, c.how);
        screen.model.SetSize(10, 4);
        if (c.stopped) {
            screen.terminal.Play("\r\n[1] Stopped\r\n$ fg\r\n");
            screen.terminal.Play(screen.model.Redraw());
        } else {
            screen.terminal.Play(screen.model.Refresh());
        }
        screen.Text(u"1");
        EXPECT_EQ(LastRows(screen.terminal, 4),
                  (Rows{"The flashi", "ng device", "will be nu", "mber: 1"}));
        screen.ExpectCursor({37, 1}, 7, static_cast<int>(screen.terminal.Rows().size()) - 1);
    }
}

// Another writer (tee, copying standard output to the same terminal) puts its copy
// of the text at the cursor when it likes: each edit draws the line over itself first,
// and lands where the model says, wherever the copy left the cursor.
TEST(ScreenModel, EditsAfterAnotherWritersTextRepaintTheLineWhereTheCursorIs) {
    struct Case {
        const char* what;
        int width;
        std::string copy;  // what the other writer put at the cursor
        Rows last;         // the rows at the end, the cursor's last
    };
    const std::string prompt = "The flashing device will be number: ";
    for (const Case& c :
         {Case{"behind the prompt", 80, prompt, {"The flashing device will be number: 1"}},
          Case{"on a row of its own",
               80,
               "\r\n" + prompt,
               {"The flashing device will be number:", "The flashing device will be number: 1"}},
          Case{"ending in a line break",
               80,
               "\r\nThe number must be from 1 to 127.\r\n",
               {"The flashing device will be number:", "The number must be from 1 to 127.",
                "The flashing device will be number: 1"}},
          Case{"behind the prompt, wrapped",
               30,
               prompt,
               {"The flashing device will be nu", "The flashing device will be nu", "mber: 1"}},
          Case{"in a one-row window",
               30,
               "\r\n" + prompt,
               {"The flashing device will be nu", "mber: 1"}}}) {
        SCOPED_TRACE(c.what);
        Screen screen(c.width, c.width == 30 && c.copy[0] == '\r' ? 1 : 10);
        const auto edit = [&screen](const auto& step) {
            screen.terminal.Play(screen.model.Repaint());
            step();
        };
        screen.Text(u"\r\n" + kPrompt);
        screen.terminal.Play(c.copy);
        edit([&] { screen.Text(u"1"); });
        edit([&] { screen.Text(u"2"); });
        edit([&] { EXPECT_TRUE(screen.Move({37, 1})); });  // Backspace
        edit([&] { EXPECT_TRUE(screen.Cells({37, 1}, u" ")); });
        EXPECT_EQ(LastRows(screen.terminal, c.last.size()), c.last);
        screen.ExpectCursor({37, 1}, 37 % c.width,
                            static_cast<int>(screen.terminal.Rows().size()) - 1);
    }
}

TEST(ScreenModel, ColouredCellsPutTheCurrentColoursBack) {
    terminal::ScreenModel model;
    std::string bytes;
    ASSERT_TRUE(model.WriteCells({0, 0}, u"  ", 2, LConsole::kBrightRed, bytes));
    // Red for the cells, then the cursor back, then the current colours again.
    EXPECT_NE(bytes.find("\x1b[0;91;40m  \x1b[1G\x1b[0m"), std::string::npos) << bytes;
    EXPECT_EQ(model.Attribute(), terminal::ScreenModel::kDefaultAttribute);
}

// The prompt's error wrapped onto a second row and was blanked; the result line
// then took the prompt's row, and the next prompt began on the row below. A
// terminal that re-wraps must not join that prompt to the result line when the
// window widens.
TEST(ScreenModel, ALineAfterABlankedErrorIsNotJoinedToTheOneAbove) {
    Screen screen(60, 10);
    screen.Text(u"\r\nThe flashing device will be number: ");
    const std::u16string error = u"Please, enter a valid number from 1 to 127.";
    screen.Text(error);
    EXPECT_TRUE(screen.Cells({36, 1}, std::u16string(error.size(), u' ')));
    EXPECT_TRUE(screen.Move({36, 1}));
    screen.Text(u"5");
    EXPECT_TRUE(screen.Move({0, 1}));
    screen.Text(u"The device (internal number 0) was assigned to the bank 5\r\n");
    screen.Text(u"The flashing device will be number: 12");
    screen.terminal.SetSize(70, 10, TinyTerminal::Resize::kRewrap);
    screen.model.SetSize(70, 10);
    EXPECT_TRUE(screen.Move({37, 2}));  // Backspace's move, after the line is drawn again
    EXPECT_TRUE(screen.Cells({37, 2}, u" "));
    screen.Text(u"3");
    const auto rows = screen.terminal.Rows();
    EXPECT_EQ(rows[1], "The device (internal number 0) was assigned to the bank 5");
    EXPECT_EQ(rows.back(), "The flashing device will be number: 13");
}

// Any mix of text, line ends, cells, cursor moves and window sizes, in terminals
// that re-wrap and in terminals that keep their rows: whenever the live line is not
// stale, it shows on the rows the model counts, and the cursor is where the model
// says. A live line made stale by a resize is drawn again at once or before the
// next move, as the terminal layer does; one that another writer wrote behind is
// drawn over itself (Repaint).
TEST(ScreenModel, RandomRunsAgreeWithTerminalsOfBothKinds) {
    for (const auto how : {TinyTerminal::Resize::kRewrap, TinyTerminal::Resize::kKeep}) {
        for (uint32_t seed = 0; seed < 1500; ++seed) {
            std::mt19937 random(seed);
            const auto pick = [&random](int from, int to) {
                return from + static_cast<int>(random() % static_cast<uint32_t>(to - from + 1));
            };
            int width = pick(1, 24);
            Screen screen(width, pick(1, 8));
            std::string line;  // the live line as the program means it
            int32_t number = 0;
            for (int step = 0; step < 30; ++step) {
                // In a short window the cursor may have been stopped past the line's
                // end, on its top row: the line then runs on through blanks.
                const int32_t cursor = screen.model.Cursor().x;
                line.resize(std::max(line.size(), static_cast<std::size_t>(cursor)), ' ');
                std::string text(static_cast<std::size_t>(pick(1, 12)), 'a');
                for (char& ch : text) {
                    ch = static_cast<char>(pick('a', 'z'));
                }
                switch (pick(0, 6)) {
                    case 0:
                        screen.Text(std::u16string(text.begin(), text.end()));
                        line.resize(std::max(line.size(), cursor + text.size()), ' ');
                        line.replace(static_cast<std::size_t>(cursor), text.size(), text);
                        break;
                    case 1:
                        screen.Text(u"\r\n");
                        line.clear();
                        ++number;
                        break;
                    case 2: {
                        const int32_t at = pick(0, static_cast<int>(line.size()));
                        text.resize(std::min<std::size_t>(text.size(), 4));
                        screen.Cells({at, number}, std::u16string(text.begin(), text.end()));
                        line.resize(std::max(line.size(), at + text.size()), ' ');
                        line.replace(static_cast<std::size_t>(at), text.size(), text);
                        break;
                    }
                    case 3:
                        screen.Move({pick(0, static_cast<int>(line.size())), number});
                        ASSERT_FALSE(screen.model.Stale());  // drawn again before it moved
                        break;
                    case 4: {
                        width = pick(1, 24);
                        const int height = pick(1, 8);
                        screen.terminal.SetSize(width, height, how);
                        screen.model.SetSize(width, height);
                        if (pick(0, 1) == 0) {
                            screen.terminal.Play(screen.model.Refresh());
                        }
                        break;
                    }
                    case 5:
                        // Another writer's text at the cursor, on its row or after a
                        // line break, as tee's copy of standard output lands.
                        screen.terminal.Play((pick(0, 1) == 0 ? "" : "\r\n") + text);
                        screen.terminal.Play(screen.model.Repaint());
                        break;
                    default:
                        if (cursor > 0) {
                            screen.Move({cursor - 1, number});
                            screen.Cells({cursor - 1, number}, u" ");
                            line[static_cast<std::size_t>(cursor - 1)] = ' ';
                        }
                        break;
                }
                if (screen.model.Stale()) {
                    continue;
                }
                // Where the next character goes: after a pending wrap, the next row.
                const int32_t offset = screen.model.Cursor().x;
                const bool pending = screen.terminal.Pending();
                const int next = screen.terminal.Row() + (pending ? 1 : 0);
                const int start = next - offset / width;
                SCOPED_TRACE(testing::Message() << "seed " << seed << " step " << step);
                ASSERT_EQ(pending ? 0 : screen.terminal.Column(), offset % width);
                const auto rows = screen.terminal.Rows();
                std::string shown = line;
                shown.erase(shown.find_last_not_of(' ') + 1);
                for (int part = 0; part * width < static_cast<int>(shown.size()); ++part) {
                    if (start + part < screen.terminal.Top()) {
                        continue;  // scrolled out of the window: history
                    }
                    ASSERT_LT(start + part, static_cast<int>(rows.size()));
                    std::string expected = line.substr(static_cast<std::size_t>(part * width),
                                                       static_cast<std::size_t>(width));
                    expected.erase(expected.find_last_not_of(' ') + 1);
                    ASSERT_EQ(rows[static_cast<std::size_t>(start + part)], expected);
                }
            }
        }
    }
}

}  // namespace

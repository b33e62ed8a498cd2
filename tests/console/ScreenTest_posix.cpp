#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "CRotatingThread.h"
#include "LKeyboard.h"
#include "LPromptField.h"
#include "LSleep.h"
#include "LStdOut.h"
#include "PtyConsole_posix.h"
#include "TinyTerminal.h"
#include "VirtualClock.h"

// What the console's users draw, through the program's own terminal on a
// pseudo-terminal, played on the tiny terminal of the screen model's tests.
namespace {

using Rows = std::vector<std::string>;

const std::u16string kPrompt = u"The flashing device will be number: ";
const std::u16string kError = u"Please, enter a valid number from 1 to 127.";

// The rows that the text fills from a row's start in a window of the width.
Rows Laid(const std::string& text, int width) {
    Rows rows;
    for (std::size_t at = 0; at < text.size(); at += static_cast<std::size_t>(width)) {
        std::string row = text.substr(at, static_cast<std::size_t>(width));
        row.erase(row.find_last_not_of(' ') + 1);
        rows.push_back(row);
    }
    return rows;
}

// The text's last rows as the window shows them, ending at the cursor's row, which
// nothing follows; the cursor just after the text.
void ExpectShown(TinyTerminal& terminal, const std::string& text, int width, int height) {
    const Rows all = terminal.Rows();
    const Rows laid = Laid(text, width);
    const std::size_t shown = std::min(laid.size(), static_cast<std::size_t>(height));
    const std::size_t last = static_cast<std::size_t>(terminal.Row());
    ASSERT_GE(last + 1, shown);
    EXPECT_EQ(Rows(all.begin() + static_cast<std::ptrdiff_t>(last + 1 - shown),
                   all.begin() + static_cast<std::ptrdiff_t>(last + 1)),
              Rows(laid.end() - static_cast<std::ptrdiff_t>(shown), laid.end()))
        << testing::PrintToString(all);
    EXPECT_EQ(Rows(all.begin() + static_cast<std::ptrdiff_t>(last + 1), all.end()),
              Rows(all.size() - last - 1, ""));
    const int column = static_cast<int>(text.size() % static_cast<std::size_t>(width));
    EXPECT_EQ(terminal.Pending() ? width : terminal.Column(), column == 0 ? width : column);
}

std::string Ascii(const std::u16string& text) {
    return std::string(text.begin(), text.end());
}

// A wrong number's error comes in the field, goes again, and the digits typed next
// follow the prompt, in windows wide and narrow, and lower than the prompt and the
// error together.
TEST(PromptFieldOnATerminal, TheErrorGoesAndTheNextDigitsFollowThePrompt) {
    const struct {
        int width;
        int height;
    } sizes[] = {{80, 24}, {40, 24}, {20, 2}, {50, 1}, {10, 4}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        PtyConsole console(size.width, size.height);
        TinyTerminal terminal(size.width, size.height);
        std::optional<LPromptField> field;
        terminal.Play(console.Draw([&] {
            StdOutWrite(u"\r\n");
            StdOutWrite(kPrompt.c_str());
            keyboard::PutChar(u'0');
            field.emplace(1);
            field->ShowError(LString(kError.c_str()));
        }));
        ExpectShown(terminal, Ascii(kPrompt + kError), size.width, size.height);
        terminal.Play(console.Draw([&] {
            field->ClearError();
            keyboard::PutChar(u'1');
            keyboard::PutChar(u'2');
        }));
        ExpectShown(terminal, Ascii(kPrompt) + "12", size.width, size.height);
    }
}

// The spinner turns in the cell where it started, a character each 140 ms by the
// clock however long a sleep of 10 ms really takes, and the text written after it
// takes the place of its last character.
TEST(SpinnerOnATerminal, TurnsInItsCellOnceEvery140MsByTheClock) {
    const std::u16string line = u"CD N1 (1:1) selecting: ";
    for (double stretch : {1.0, 1.56}) {
        SCOPED_TRACE(stretch);
        PtyConsole console(80, 24);
        TinyTerminal terminal(80, 24);
        VirtualClock clock(stretch);
        const std::string bytes = console.Draw([&] {
            StdOutWrite(u"\r\n");
            StdOutWrite(line.c_str());
            CRotatingThread spinner;
            spinner.Start(false);
            while (clock.Count() < 100) {
                LSleepReal(1);
            }
            spinner.StopAndWait();
            StdOutWrite(u"done.");
        });
        terminal.Play(bytes);
        ExpectShown(terminal, Ascii(line) + "done.", 80, 24);

        std::string turns;
        std::copy_if(bytes.begin(), bytes.end(), std::back_inserter(turns),
                     [](char ch) { return std::string("|/-\\").find(ch) != std::string::npos; });
        ASSERT_FALSE(turns.empty());
        for (std::size_t i = 0; i < turns.size(); ++i) {
            ASSERT_EQ(turns[i], "|/-\\"[i % 4]) << turns;
        }
        const std::vector<VirtualClock::Sleep> sleeps = clock.Sleeps();
        const uint64_t elapsed = clock.ElapsedOf(sleeps.front().thread);
        const uint64_t count = turns.size();
        EXPECT_GE(elapsed, (count - 1) * 140) << turns;
        EXPECT_LT(elapsed, count * (140 + 10 * stretch)) << turns;
    }
}

}  // namespace

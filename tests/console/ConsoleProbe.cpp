// Drives the console output handle on a real terminal for the end-to-end tests:
// runs one scenario, writes what the console reported into a file, then waits for
// a line on standard input so that the screen can be read before it goes.
//
//   console_probe REPORT backspace X Y   fill rows 0-2 with 'x', put the cursor at
//                                        (X, Y), Backspace
//   console_probe REPORT countdown       "Initial waiting: " and the program's
//                                        countdown, its seconds not waited
//   console_probe REPORT attribute       "RED" in attribute 12, then the old one
//   console_probe REPORT spinner MS      "selecting: " and the rotating indicator,
//                                        stopped after MS milliseconds (before
//                                        it starts when MS is negative)
//   console_probe REPORT edge            a row of 'a' to the last cell, 'X' written
//                                        at (0, 0) and '|' at the cursor, then "b"
//   console_probe REPORT rewrap          the console's width changed under the
//                                        spinner and under the prompt (Windows)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "CRotatingThread.h"
#include "ConsoleWidth.h"
#include "Countdown.h"
#include "LConsole.h"
#include "LKeyboard.h"
#include "LSleep.h"
#include "LStdOut.h"

LConsole g_console;

namespace {

std::string report;

// The terminal's width, which the tests set. The console's buffer may be wider: on
// Linux a whole line is one row of it, however the terminal wraps it.
constexpr int32_t kScreenWidth = 80;

void Note(const char* name, const LConsolePosition& position) {
    report += std::string(name) + " " + std::to_string(position.x) + " " +
              std::to_string(position.y) + "\n";
}

// A cell of the terminal's screen as a position in the console's buffer, and back.
// Only for text that has no line break before it.
LConsolePosition AtScreenCell(int32_t x, int32_t y) {
    const int64_t index = int64_t{y} * kScreenWidth + x;
    const int32_t width = g_console.GetBufferWidth();
    return {static_cast<int32_t>(index % width), static_cast<int32_t>(index / width)};
}

void NoteScreenCell(const char* name, const LConsolePosition& position) {
    const int64_t index = int64_t{position.y} * g_console.GetBufferWidth() + position.x;
    Note(name,
         {static_cast<int32_t>(index % kScreenWidth), static_cast<int32_t>(index / kScreenWidth)});
}

void Backspace(int x, int y) {
    g_console.FillCharacter(u'x', kScreenWidth * 3, {0, 0});
    g_console.SetCursorPosition(AtScreenCell(x, y));
    g_console.Backspace();
    LConsolePosition after{};
    NoteScreenCell("cursor", g_console.GetCursorPosition(after));
}

void NoteCursor() {
    LConsolePosition now{};
    Note("after", g_console.GetCursorPosition(now));
}

void NoWait(uint32_t, LWaitKind) {}

void CountdownInPlace() {
    StdOutWrite(u"Initial waiting: ");
    LConsolePosition at{};
    Note("start", g_console.GetCursorPosition(at));
    LSetSleepFunction(&NoWait);
    Countdown(&NoteCursor);
    LConsolePosition end{};
    Note("end", g_console.GetCursorPosition(end));
}

void Attribute() {
    uint16_t old = g_console.GetTextAttribute();
    g_console.SetTextAttribute(LConsole::kBrightRed);
    uint16_t red = g_console.GetTextAttribute();
    g_console.WriteText(u"RED", 3);
    g_console.SetTextAttribute(old);
    g_console.WriteText(u"OLD", 3);
    report += "attributes " + std::to_string(old) + " " + std::to_string(red) + " " +
              std::to_string(g_console.GetTextAttribute()) + "\n";
}

void Spinner(int milliseconds) {
    StdOutWrite(u"selecting: ");
    LConsolePosition before{};
    Note("before", g_console.GetCursorPosition(before));
    CRotatingThread thread;
    if (milliseconds < 0) {
        thread.StopAndWait();
        thread.Start(false);
        while (thread.IsRunning()) {
            LSleepReal(1);
        }
    } else {
        thread.Start(false);
        LSleepReal(static_cast<uint32_t>(milliseconds));
        thread.StopAndWait();
    }
    LConsolePosition after{};
    Note("after", g_console.GetCursorPosition(after));
}

// Text that ends in the last cell leaves the next character for the next row, and
// writes elsewhere must not change that.
void Edge() {
    std::u16string row(static_cast<std::size_t>(kScreenWidth), u'a');
    StdOutWrite(row.data(), static_cast<int32_t>(row.size()));
    LConsolePosition after{};
    NoteScreenCell("after", g_console.GetCursorPosition(after));
    g_console.WriteCharacters(u"X", 1, {0, 0});
    g_console.WriteCharacters(u"|", 1, after);
    StdOutWrite(u"b");
    LConsolePosition end{};
    NoteScreenCell("end", g_console.GetCursorPosition(end));
}

// The console's buffer made narrower while the spinner turns and while the prompt
// waits for keys, as Windows 10 re-wraps it when its window narrows: the line is
// drawn again, and what follows goes to the copy.
void Rewrap() {
    if (!SetConsoleWidth(70)) {
        report += "unsupported\n";
        return;
    }
    StdOutWrite(u"\r\nselecting: ");
    CRotatingThread thread;
    thread.Start(false);
    LSleepReal(300);
    SetConsoleWidth(60);
    LSleepReal(500);
    thread.StopAndWait();
    StdOutWrite(u"done.\r\nnumber: ");
    keyboard::PutChar(u'1');
    keyboard::PutChar(u'2');
    SetConsoleWidth(50);
    keyboard::KeyWaiting();  // the prompt's look for a key
    g_console.Backspace();
    keyboard::PutChar(u'5');
    report += "generation " + std::to_string(g_console.Generation()) + "\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: console_probe REPORT SCENARIO [ARGS]\n");
        return 2;
    }
    g_console.Open(LConsole::kStandardOutput);
    std::string scenario = argv[2];
    if (scenario == "backspace" && argc == 5) {
        Backspace(std::atoi(argv[3]), std::atoi(argv[4]));
    } else if (scenario == "countdown") {
        CountdownInPlace();
    } else if (scenario == "attribute") {
        Attribute();
    } else if (scenario == "edge") {
        Edge();
    } else if (scenario == "rewrap") {
        Rewrap();
    } else if (scenario == "spinner" && argc == 4) {
        Spinner(std::atoi(argv[3]));
    } else {
        std::fprintf(stderr, "unknown scenario\n");
        return 2;
    }
    if (std::FILE* file = std::fopen(argv[1], "wb")) {
        std::fputs(report.c_str(), file);
        std::fputs("ready\n", file);
        std::fclose(file);
    }
    char line[16];
    std::fgets(line, sizeof line, stdin);
    return 0;
}

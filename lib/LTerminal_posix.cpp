// The console on Linux is the terminal on standard output, driven with VT
// sequences. A terminal can be asked where its cursor is, but the answer comes
// through standard input, late or never (slow links, terminals without the query),
// mixed with the user's keys. So the program never asks: it keeps the cursor
// itself.
//
// Every byte the program sends to the terminal passes through this file, under one
// lock, and ScreenModel follows what each does to the cursor: the column, the row
// counted from the row the program started on (so that scrolling never moves a
// position the program has stored, as in a Windows screen buffer), the wrap that is
// pending after the last column, and the window's size, read at every operation so
// that a resize is followed. GetCursorPosition answers from the model. A write at a
// position moves there relative to the cursor and comes back, and makes a pending
// wrap pending again by writing the last cell once more, since a move cancels it.
// Cells on rows that have scrolled out of the window are not drawn, and the call
// still succeeds, as it does on Windows, where such cells lie in the buffer.
//
// The program is assumed to start in column 0, as after a shell's prompt; every
// message it writes first begins with a line break in any case. Output from other
// programs to the same terminal while this one runs is not followed.
#include "LTerminal_posix.h"

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

#include "LTerminalModel_posix.h"
#include "LUtf.h"
#include "LWriteAll_posix.h"

namespace terminal {
namespace {

constexpr int kOutput = STDOUT_FILENO;

std::mutex lock;
ScreenModel model;
// Whether the terminal is left in colours other than its default.
std::atomic<bool> colourChanged{false};

// The window as it is now; a terminal that cannot tell counts as 80 x 25.
void FollowWindow() {
    winsize size{};
    if (ioctl(kOutput, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) {
        size.ws_col = 80;
        size.ws_row = 25;
    }
    model.SetSize(size.ws_col, size.ws_row);
    termios modes{};
    if (tcgetattr(kOutput, &modes) == 0) {
        model.SetNewlineReturns((modes.c_oflag & OPOST) != 0 && (modes.c_oflag & ONLCR) != 0);
    }
}

}  // namespace

bool IsTerminal() {
    return isatty(kOutput) != 0;
}

bool WriteText(const LChar* text, int32_t count) {
    if (count <= 0) {
        return true;
    }
    if (!IsTerminal()) {
        return LWriteAll(kOutput, Utf8FromUtf16(text, static_cast<std::size_t>(count)));
    }
    std::lock_guard<std::mutex> guard(lock);
    FollowWindow();
    return LWriteAll(kOutput, model.Text(text, count));
}

bool GetCursor(LConsolePosition& cursor, int32_t& width) {
    if (!IsTerminal()) {
        return false;
    }
    std::lock_guard<std::mutex> guard(lock);
    FollowWindow();
    cursor = model.Cursor();
    width = model.Width();
    return true;
}

bool SetCursor(const LConsolePosition& position) {
    if (!IsTerminal()) {
        return false;
    }
    std::lock_guard<std::mutex> guard(lock);
    FollowWindow();
    std::string bytes;
    return model.MoveCursor(position, bytes) && LWriteAll(kOutput, bytes);
}

bool WriteCells(const LConsolePosition& at, const LChar* cells, int32_t count, int32_t attribute) {
    if (!IsTerminal()) {
        return false;
    }
    std::lock_guard<std::mutex> guard(lock);
    FollowWindow();
    std::string bytes;
    if (!model.WriteCells(at, cells, count, attribute, bytes)) {
        return false;
    }
    return LWriteAll(kOutput, bytes);
}

bool GetAttribute(uint16_t& attribute) {
    if (!IsTerminal()) {
        return false;
    }
    std::lock_guard<std::mutex> guard(lock);
    attribute = model.Attribute();
    return true;
}

bool SetAttribute(uint16_t attribute) {
    if (!IsTerminal()) {
        return false;
    }
    std::lock_guard<std::mutex> guard(lock);
    colourChanged = attribute != ScreenModel::kDefaultAttribute;
    return LWriteAll(kOutput, model.SetAttribute(attribute));
}

// Another thread may be in the middle of a write; the reset goes out without
// waiting for it.
void ResetColoursForExit() {
    if (colourChanged.load() && IsTerminal()) {
        LWriteAll(kOutput, ScreenModel::Colours(ScreenModel::kDefaultAttribute));
    }
}

}  // namespace terminal

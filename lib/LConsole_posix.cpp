#include <sys/ioctl.h>
#include <unistd.h>

#include <string>

#include "LConsole.h"
#include "LTerminal_posix.h"
#include "LUtf.h"

// The console is the terminal on standard output, driven with VT sequences. A
// terminal cannot report its colours, so the object keeps the attribute it last set
// (7, grey on black, the console's default, at first). Output that is not a terminal
// fails every operation, as the console calls do on a redirected handle.
namespace {
constexpr uint16_t kDefaultAttribute = 7;

struct Terminal {
    int fd;
    uint16_t attribute;
};

Terminal* Native(LConsoleHandle handle) {
    return static_cast<Terminal*>(handle);
}

Terminal* Usable(LConsoleHandle handle) {
    Terminal* terminal = Native(handle);
    return terminal != nullptr && isatty(terminal->fd) ? terminal : nullptr;
}

std::string MoveTo(const LConsolePosition& position) {
    // The console's 16-bit coordinates, 1-based on the terminal.
    int row = static_cast<int16_t>(position.y) + 1;
    int column = static_cast<int16_t>(position.x) + 1;
    return "\x1b[" + std::to_string(row < 1 ? 1 : row) + ";" +
           std::to_string(column < 1 ? 1 : column) + "H";
}

// Windows colour bits are blue 1, green 2, red 4; ANSI colour numbers are red 1,
// green 2, blue 4. Bit 8 is the bright variant.
std::string Colours(uint16_t attribute) {
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

std::string Cells(const LChar* characters, int32_t count) {
    std::u16string text(characters, static_cast<std::size_t>(count));
    for (auto& ch : text) {
        if (ch == 0) {
            ch = u' ';  // shown blank, as the console shows character 0
        }
    }
    return Utf8FromUtf16(text.data(), text.size());
}

// Cells from the position to the end of the screen, so that a fill never scrolls.
int32_t CellsLeft(int fd, const LConsolePosition& position) {
    winsize size{};
    if (ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) {
        size.ws_col = 80;
        size.ws_row = 25;
    }
    int64_t left =
        int64_t{size.ws_row} * size.ws_col - (int64_t{position.y} * size.ws_col + position.x);
    return left < 0 ? 0 : static_cast<int32_t>(left);
}

// Writes at a position and puts the cursor back where it was.
bool WriteAt(Terminal* terminal, const LConsolePosition& position, const std::string& bytes) {
    return terminal::WriteAll(terminal->fd,
                              "\x1b"
                              "7" +
                                  MoveTo(position) + bytes +
                                  "\x1b"
                                  "8");
}

bool Report(bool result, int32_t count, uint32_t* written) {
    if (written != nullptr) {
        *written = result && count > 0 ? static_cast<uint32_t>(count) : 0;
    }
    return result;
}

// Writes what paint gives for up to count cells from the position, never past the
// end of the screen.
template <typename Paint>
bool Fill(Terminal* terminal, int32_t count, const LConsolePosition& position, uint32_t* written,
          Paint paint) {
    if (terminal == nullptr) {
        return Report(false, 0, written);
    }
    int32_t room = CellsLeft(terminal->fd, position);
    int32_t cells = count < room ? count : room;
    if (cells <= 0) {
        return Report(true, 0, written);
    }
    return Report(WriteAt(terminal, position, paint(terminal, cells)), cells, written);
}
}  // namespace

bool LConsole::Open(int32_t standardHandle) {
    if (standardHandle != kStandardOutput) {
        return false;
    }
    int fd = dup(STDOUT_FILENO);
    if (fd < 0) {
        return false;
    }
    handle_ = new Terminal{fd, kDefaultAttribute};
    return true;
}

bool LConsole::Close() {
    Terminal* terminal = Native(handle_);
    if (terminal == nullptr) {
        return false;
    }
    bool closed = close(terminal->fd) == 0;
    delete terminal;
    handle_ = nullptr;
    return closed;
}

bool LConsole::ReadScreenInfo(ScreenInfo& info) const {
    Terminal* terminal = Usable(handle_);
    int row = 0;
    int column = 0;
    if (terminal == nullptr || !terminal::QueryCursor(terminal->fd, row, column)) {
        return false;
    }
    winsize size{};
    info.cursor = {column - 1, row - 1};
    info.width = ioctl(terminal->fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
    info.attribute = terminal->attribute;
    return true;
}

bool LConsole::SetCursorPosition(const LConsolePosition& position) {
    Terminal* terminal = Usable(handle_);
    return terminal != nullptr && terminal::WriteAll(terminal->fd, MoveTo(position));
}

bool LConsole::FillCharacter(LChar ch, int32_t count, const LConsolePosition& position,
                             uint32_t* written) {
    return Fill(Usable(handle_), count, position, written, [ch](Terminal*, int32_t cells) {
        std::u16string fill(static_cast<std::size_t>(cells), ch);
        return Cells(fill.data(), cells);
    });
}

// A terminal cannot recolour cells without writing them again, and it cannot tell
// what they hold: the cells are repainted as blanks in the attribute. The program
// only recolours cells that it has just blanked.
bool LConsole::FillAttribute(uint16_t attribute, int32_t count, const LConsolePosition& position,
                             uint32_t* written) {
    return Fill(Usable(handle_), count, position, written,
                [attribute](Terminal* terminal, int32_t cells) {
                    return Colours(attribute) + std::string(static_cast<std::size_t>(cells), ' ') +
                           Colours(terminal->attribute);
                });
}

bool LConsole::WriteCharacters(const LChar* characters, int32_t count,
                               const LConsolePosition& position, uint32_t* written) {
    Terminal* terminal = Usable(handle_);
    if (terminal == nullptr || count <= 0) {
        return Report(terminal != nullptr, 0, written);
    }
    return Report(WriteAt(terminal, position, Cells(characters, count)), count, written);
}

bool LConsole::WriteText(const LChar* text, int32_t count) {
    Terminal* terminal = Usable(handle_);
    if (terminal == nullptr || count <= 0) {
        return terminal != nullptr;
    }
    return terminal::WriteAll(terminal->fd, Utf8FromUtf16(text, static_cast<std::size_t>(count)));
}

bool LConsole::SetTextAttribute(uint16_t attribute) {
    Terminal* terminal = Usable(handle_);
    if (terminal == nullptr || !terminal::WriteAll(terminal->fd, Colours(attribute))) {
        return false;
    }
    terminal->attribute = attribute;
    return true;
}

#include <string>

#include "LConsole.h"
#include "LTerminal_posix.h"

// The console is the terminal on standard output or, when standard output goes to a
// file, the keyboard's terminal, with the cursor kept by the program
// (LTerminal_posix.cpp tells how). A terminal cannot report its colours, so the
// attribute is the one the program last set (7, grey on black, the console's
// default, at first). Without a terminal every operation fails, as the console
// calls do on a redirected handle.
namespace {
// The handle of an open console; there is only the one terminal to stand for.
int openMarker;

// More cells than any window shows; a fill is cut there rather than allocated whole.
constexpr int32_t kMostCells = 1 << 20;

bool Written(bool result, int32_t count, uint32_t* written) {
    if (written != nullptr) {
        *written = result && count > 0 ? static_cast<uint32_t>(count) : 0;
    }
    return result;
}
}  // namespace

bool LConsole::Open(int32_t standardHandle) {
    if (standardHandle != kStandardOutput || !terminal::HasConsole()) {
        return false;
    }
    handle_ = &openMarker;
    return true;
}

// Standard output stays open: the process still writes to it on its way out.
bool LConsole::Close() {
    if (handle_ == nullptr) {
        return false;
    }
    handle_ = nullptr;
    return true;
}

// Positions are places in the live line, which the screen model keeps right across
// a resize: a position taken before stays good.
uint32_t LConsole::Generation() const {
    return 0;
}

bool LConsole::ReadScreenInfo(ScreenInfo& info) const {
    return handle_ != nullptr && terminal::GetCursor(info.cursor, info.width) &&
           terminal::GetAttribute(info.attribute);
}

bool LConsole::SetCursorPosition(const LConsolePosition& position) {
    return handle_ != nullptr && terminal::SetCursor(position);
}

bool LConsole::FillCharacter(LChar ch, int32_t count, const LConsolePosition& position,
                             uint32_t* written) {
    if (handle_ == nullptr || count < 0) {
        return Written(false, 0, written);
    }
    count = count < kMostCells ? count : kMostCells;
    std::u16string cells(static_cast<std::size_t>(count), ch);
    return Written(terminal::WriteCells(position, cells.data(), count, -1), count, written);
}

// A terminal cannot recolour cells without writing them again, and it cannot tell
// what they hold: the cells are repainted as blanks in the attribute. The program
// only recolours cells that it has just blanked.
bool LConsole::FillAttribute(uint16_t attribute, int32_t count, const LConsolePosition& position,
                             uint32_t* written) {
    if (handle_ == nullptr || count < 0) {
        return Written(false, 0, written);
    }
    count = count < kMostCells ? count : kMostCells;
    std::u16string cells(static_cast<std::size_t>(count), u' ');
    return Written(terminal::WriteCells(position, cells.data(), count, attribute), count, written);
}

bool LConsole::WriteCharacters(const LChar* characters, int32_t count,
                               const LConsolePosition& position, uint32_t* written) {
    if (handle_ == nullptr || count < 0) {
        return Written(false, 0, written);
    }
    return Written(terminal::WriteCells(position, characters, count, -1), count, written);
}

bool LConsole::WriteText(const LChar* text, int32_t count) {
    return handle_ != nullptr && terminal::WriteText(text, count);
}

bool LConsole::SetTextAttribute(uint16_t attribute) {
    return handle_ != nullptr && terminal::SetAttribute(attribute);
}

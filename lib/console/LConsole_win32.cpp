#include <windows.h>

#include <string>

#include "LConsole.h"
#include "LLiveLine_win32.h"

namespace {
HANDLE Native(LConsoleHandle handle) {
    return static_cast<HANDLE>(handle);
}

// Positions travel as 16-bit coordinates: each is cut to its low 16 bits.
COORD Coord(const LConsolePosition& position) {
    return COORD{static_cast<SHORT>(position.x), static_cast<SHORT>(position.y)};
}

DWORD Count(int32_t count) {
    return count > 0 ? static_cast<DWORD>(count) : 0;
}

// Character 0 is meant as a blank cell; Windows shows it so, but Wine draws it as
// '?', so a blank is written as a space, which shows the same everywhere.
wchar_t Shown(LChar ch) {
    return ch == 0 ? L' ' : static_cast<wchar_t>(ch);
}

bool Report(BOOL result, DWORD done, uint32_t* written) {
    if (written != nullptr) {
        *written = done;
    }
    return result != 0;
}

// Calls write(first cell, cell count, position, cells done) for each row that count
// cells from the position touch, and adds up what they did. One call could cover
// them all, but Wine's console then redraws on the terminal only the columns between
// the first cell and the last, leaving the rest of each row as it was shown.
template <typename Write>
bool ByRow(HANDLE handle, int32_t count, const LConsolePosition& position, uint32_t* written,
           Write write) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    int32_t width = GetConsoleScreenBufferInfo(handle, &info) ? info.dwSize.X : 0;
    if (width <= 0 || position.x < 0 || position.x >= width || count <= 0) {
        DWORD done = 0;
        BOOL result = write(0, Count(count), Coord(position), &done);
        return Report(result, done, written);
    }
    DWORD total = 0;
    BOOL result = TRUE;
    LConsolePosition at = position;
    for (int32_t first = 0; first < count && result;) {
        int32_t run = count - first < width - at.x ? count - first : width - at.x;
        DWORD done = 0;
        result = write(first, static_cast<DWORD>(run), Coord(at), &done);
        total += done;
        first += run;
        at = {0, at.y + 1};
    }
    return Report(total > 0 || result, total, written);
}
}  // namespace

bool LConsole::Open(int32_t standardHandle) {
    HANDLE handle = GetStdHandle(static_cast<DWORD>(standardHandle));
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    handle_ = handle;
    return true;
}

bool LConsole::Close() {
    if (handle_ == nullptr) {
        return false;
    }
    BOOL result = CloseHandle(Native(handle_));
    handle_ = nullptr;
    return result != 0;
}

uint32_t LConsole::Generation() const {
    return liveline::Generation();
}

// No position is read before the live line is drawn again after a width change.
bool LConsole::ReadScreenInfo(ScreenInfo& info) const {
    liveline::FollowWidth(Native(handle_));
    CONSOLE_SCREEN_BUFFER_INFO native;
    if (!GetConsoleScreenBufferInfo(Native(handle_), &native)) {
        return false;
    }
    info.cursor = {native.dwCursorPosition.X, native.dwCursorPosition.Y};
    info.width = native.dwSize.X;
    info.attribute = native.wAttributes;
    return true;
}

bool LConsole::SetCursorPosition(const LConsolePosition& position) {
    return liveline::Cursor(Native(handle_), Coord(position)) &&
           SetConsoleCursorPosition(Native(handle_), Coord(position)) != 0;
}

bool LConsole::FillCharacter(LChar ch, int32_t count, const LConsolePosition& position,
                             uint32_t* written) {
    HANDLE handle = Native(handle_);
    const std::wstring cells(static_cast<std::size_t>(Count(count)), Shown(ch));
    if (!liveline::Cells(handle, cells.data(), static_cast<int32_t>(cells.size()), Coord(position),
                         -1)) {
        return Report(FALSE, 0, written);
    }
    return ByRow(handle, count, position, written,
                 [handle, ch](int32_t, DWORD cells, COORD at, DWORD* done) {
                     return FillConsoleOutputCharacterW(handle, Shown(ch), cells, at, done);
                 });
}

bool LConsole::FillAttribute(uint16_t attribute, int32_t count, const LConsolePosition& position,
                             uint32_t* written) {
    HANDLE handle = Native(handle_);
    if (!liveline::Attributes(handle, attribute, static_cast<int32_t>(Count(count)),
                              Coord(position))) {
        return Report(FALSE, 0, written);
    }
    return ByRow(handle, count, position, written,
                 [handle, attribute](int32_t, DWORD cells, COORD at, DWORD* done) {
                     return FillConsoleOutputAttribute(handle, attribute, cells, at, done);
                 });
}

bool LConsole::WriteCharacters(const LChar* characters, int32_t count,
                               const LConsolePosition& position, uint32_t* written) {
    HANDLE handle = Native(handle_);
    auto text = reinterpret_cast<const wchar_t*>(characters);
    if (!liveline::Cells(handle, text, static_cast<int32_t>(Count(count)), Coord(position), -1)) {
        return Report(FALSE, 0, written);
    }
    return ByRow(handle, count, position, written,
                 [handle, text](int32_t first, DWORD cells, COORD at, DWORD* done) {
                     return WriteConsoleOutputCharacterW(handle, text + first, cells, at, done);
                 });
}

bool LConsole::WriteText(const LChar* text, int32_t count) {
    liveline::Text(Native(handle_), reinterpret_cast<const wchar_t*>(text), count);
    DWORD done = 0;
    return WriteConsoleW(Native(handle_), reinterpret_cast<const wchar_t*>(text), Count(count),
                         &done, nullptr) != 0;
}

bool LConsole::SetTextAttribute(uint16_t attribute) {
    return SetConsoleTextAttribute(Native(handle_), attribute) != 0;
}

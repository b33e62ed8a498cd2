#pragma once

#include <cstdint>

#include "LString.h"

// A cell of the screen buffer: column, then row; (0, 0) is the top left.
struct LConsolePosition {
    int32_t x;
    int32_t y;
};

// A console output handle of the platform; null when not open.
using LConsoleHandle = void*;

// Cursor control, fills and positioned output on one console output handle. None of
// the fill and write operations moves the cursor. On output that is not a console
// the operations fail as the platform's console calls do.
class LConsole {
public:
    // The standard handle number of standard output.
    static constexpr int32_t kStandardOutput = -11;
    // Bright red on black.
    static constexpr uint16_t kBrightRed = 12;

    LConsole() = default;
    ~LConsole() { Close(); }
    LConsole(const LConsole&) = delete;
    LConsole& operator=(const LConsole&) = delete;

    bool Open(int32_t standardHandle);
    bool Close();

    // The cursor position, or (0, 0) when the screen buffer cannot be read.
    LConsolePosition GetCursorPosition(LConsolePosition& position) const;
    bool SetCursorPosition(const LConsolePosition& position);
    // The current text attribute, or 0 when the screen buffer cannot be read.
    uint16_t GetTextAttribute() const;
    // The buffer's width in columns, or 0 when the screen buffer cannot be read.
    int32_t GetBufferWidth() const;
    bool FillCharacter(LChar ch, int32_t count, const LConsolePosition& position,
                       uint32_t* written = nullptr);
    bool FillAttribute(uint16_t attribute, int32_t count, const LConsolePosition& position,
                       uint32_t* written = nullptr);
    bool WriteCharacters(const LChar* characters, int32_t count, const LConsolePosition& position,
                         uint32_t* written = nullptr);
    // Removes the cell before the cursor; at column 0 that is the last cell of the
    // row above.
    void Backspace();
    // Counts up each time the line being written is drawn again elsewhere (after the
    // console re-wrapped to a new width): a position taken before another count is
    // stale, and a write to it fails. Read the cursor again instead.
    uint32_t Generation() const;

    // Writes at the cursor in the current attribute, moving the cursor.
    bool WriteText(const LChar* text, int32_t count);
    bool SetTextAttribute(uint16_t attribute);

    LConsoleHandle GetHandle() const { return handle_; }
    // Holds another handle, without closing the one it held; returns that one.
    LConsoleHandle Exchange(LConsoleHandle handle) {
        LConsoleHandle held = handle_;
        handle_ = handle;
        return held;
    }

private:
    struct ScreenInfo {
        LConsolePosition cursor;
        int32_t width;
        uint16_t attribute;
    };
    bool ReadScreenInfo(ScreenInfo& info) const;

    LConsoleHandle handle_ = nullptr;
};

// The program's console output handle, one of the program-wide objects.
extern LConsole g_console;

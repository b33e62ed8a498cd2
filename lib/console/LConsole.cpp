#include "LConsole.h"

LConsolePosition LConsole::GetCursorPosition(LConsolePosition& position) const {
    ScreenInfo info{};
    position = ReadScreenInfo(info) ? info.cursor : LConsolePosition{0, 0};
    return position;
}

uint16_t LConsole::GetTextAttribute() const {
    ScreenInfo info{};
    return ReadScreenInfo(info) ? info.attribute : 0;
}

int32_t LConsole::GetBufferWidth() const {
    ScreenInfo info{};
    return ReadScreenInfo(info) ? info.width : 0;
}

void LConsole::Backspace() {
    ScreenInfo info{};
    if (!ReadScreenInfo(info)) {
        return;
    }
    LConsolePosition position = info.cursor;
    if (position.x > 0) {
        --position.x;
    } else if (position.y > 0) {
        position = {info.width - 1, position.y - 1};
    }
    SetCursorPosition(position);
    FillCharacter(0, 1, position);
}

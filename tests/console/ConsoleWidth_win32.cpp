#include <windows.h>

#include "ConsoleWidth.h"

bool SetConsoleWidth(int32_t columns) {
    HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(console, &info)) {
        return false;
    }
    // The window first, since it may not be wider than the buffer.
    const SMALL_RECT window{0, info.srWindow.Top, static_cast<SHORT>(columns - 1),
                            info.srWindow.Bottom};
    SetConsoleWindowInfo(console, TRUE, &window);
    return SetConsoleScreenBufferSize(console, COORD{static_cast<SHORT>(columns), info.dwSize.Y});
}

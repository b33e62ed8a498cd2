#include "LLiveLine_win32.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace liveline {
namespace {

struct Cell {
    wchar_t ch;
    WORD attribute;
};

std::mutex lock;
std::vector<Cell> cells;  // the line's, from its first column
int32_t offset = 0;       // the cursor's, in the line
SHORT width = 0;          // the buffer's width when last looked at
std::atomic<uint32_t> generation{0};

bool Info(HANDLE console, CONSOLE_SCREEN_BUFFER_INFO& info) {
    return GetConsoleScreenBufferInfo(console, &info) != 0 && info.dwSize.X > 0;
}

// A position's place in the line, worked out from the cursor's, which is known in
// both: scrolling moves them alike.
int32_t OffsetOf(const CONSOLE_SCREEN_BUFFER_INFO& info, COORD at) {
    return offset + (at.Y - info.dwCursorPosition.Y) * info.dwSize.X +
           (at.X - info.dwCursorPosition.X);
}

Cell& CellAt(int32_t at, WORD attribute) {
    if (at >= static_cast<int32_t>(cells.size())) {
        cells.resize(static_cast<std::size_t>(at) + 1, Cell{L' ', attribute});
    }
    return cells[static_cast<std::size_t>(at)];
}

void Write(HANDLE console, const wchar_t* text, DWORD count) {
    DWORD written = 0;
    WriteConsoleW(console, text, count, &written, nullptr);
}

// The line again, after CR LF, at the cursor the console reports, in its colours,
// and the cursor where it was in it. The console wraps at once at a row's end.
void Redraw(HANDLE console) {
    Write(console, L"\r\n", 2);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!Info(console, info)) {
        return;
    }
    const WORD current = info.wAttributes;
    for (std::size_t first = 0; first < cells.size();) {
        std::size_t end = first;
        std::vector<wchar_t> run;
        while (end < cells.size() && cells[end].attribute == cells[first].attribute) {
            run.push_back(cells[end++].ch);
        }
        SetConsoleTextAttribute(console, cells[first].attribute);
        Write(console, run.data(), static_cast<DWORD>(run.size()));
        first = end;
    }
    SetConsoleTextAttribute(console, current);
    if (!Info(console, info)) {
        return;
    }
    const int32_t drawn = static_cast<int32_t>(cells.size());
    const int32_t top = info.dwCursorPosition.Y - drawn / info.dwSize.X;
    const COORD cursor{static_cast<SHORT>(offset % info.dwSize.X),
                       static_cast<SHORT>(top + offset / info.dwSize.X)};
    SetConsoleCursorPosition(console, cursor);
}

// The caller holds the lock.
bool FollowWidthLocked(HANDLE console, CONSOLE_SCREEN_BUFFER_INFO& info) {
    if (width == 0 || info.dwSize.X == width) {
        width = info.dwSize.X;
        return false;
    }
    width = info.dwSize.X;
    Redraw(console);
    ++generation;
    Info(console, info);
    return true;
}

// An edit of the line at a position, under the lock, unless the line was drawn
// again just now, which makes the position stale: false then.
template <typename Change>
bool Edit(HANDLE console, Change change) {
    std::lock_guard<std::mutex> guard(lock);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!Info(console, info)) {
        return true;
    }
    if (FollowWidthLocked(console, info)) {
        return false;
    }
    change(info);
    return true;
}

}  // namespace

void Text(HANDLE console, const wchar_t* text, int32_t count) {
    std::lock_guard<std::mutex> guard(lock);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!Info(console, info)) {
        return;
    }
    FollowWidthLocked(console, info);
    const int32_t columns = info.dwSize.X;
    for (int32_t i = 0; i < count; ++i) {
        const wchar_t ch = text[i];
        if (ch == L'\r') {
            offset -= offset % columns;  // the line began in the first column
        } else if (ch == L'\n') {
            cells.clear();
            offset = 0;
        } else if (ch == L'\b') {
            offset -= offset % columns != 0 ? 1 : 0;
        } else if (ch >= 0x20) {
            CellAt(offset, info.wAttributes) = Cell{ch, info.wAttributes};
            ++offset;
        }
    }
}

bool Cells(HANDLE console, const wchar_t* text, int32_t count, COORD at, int32_t attribute) {
    return Edit(console, [&](const CONSOLE_SCREEN_BUFFER_INFO& info) {
        const int32_t first = OffsetOf(info, at);
        for (int32_t i = 0; i < count; ++i) {
            if (first + i < 0) {
                continue;  // an earlier line's
            }
            Cell& cell = CellAt(first + i, info.wAttributes);
            cell.ch = text[i];
            cell.attribute = attribute >= 0 ? static_cast<WORD>(attribute) : cell.attribute;
        }
    });
}

bool Attributes(HANDLE console, WORD attribute, int32_t count, COORD at) {
    return Edit(console, [&](const CONSOLE_SCREEN_BUFFER_INFO& info) {
        const int32_t first = OffsetOf(info, at);
        for (int32_t i = 0; i < count; ++i) {
            if (first + i >= 0) {
                CellAt(first + i, attribute).attribute = attribute;
            }
        }
    });
}

bool Cursor(HANDLE console, COORD to) {
    return Edit(console, [&](const CONSOLE_SCREEN_BUFFER_INFO& info) {
        offset = OffsetOf(info, to);
        offset = offset < 0 ? 0 : offset;
    });
}

bool FollowWidth(HANDLE console) {
    std::lock_guard<std::mutex> guard(lock);
    CONSOLE_SCREEN_BUFFER_INFO info;
    return Info(console, info) && FollowWidthLocked(console, info);
}

uint32_t Generation() {
    return generation.load();
}

}  // namespace liveline

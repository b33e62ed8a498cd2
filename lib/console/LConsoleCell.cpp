#include "LConsoleCell.h"

LConsolePosition LConsoleOffset(const LConsolePosition& from, int32_t cells, int32_t width) {
    if (width <= 0) {
        return {from.x + cells, from.y};
    }
    int64_t index = int64_t{from.y} * width + from.x + cells;
    int64_t row = index >= 0 ? index / width : -((-index + width - 1) / width);
    return {static_cast<int32_t>(index - row * width), static_cast<int32_t>(row)};
}

LConsoleCell::LConsoleCell() : generation_(g_console.Generation()) {
    g_console.GetCursorPosition(at_);
}

LConsoleCell::LConsoleCell(const LConsolePosition& at)
    : at_(at), generation_(g_console.Generation()) {}

LConsolePosition LConsoleCell::Where(int32_t written) {
    if (g_console.Generation() != generation_) {
        generation_ = g_console.Generation();
        g_console.GetCursorPosition(at_);
        at_ = LConsoleOffset(at_, -written, g_console.GetBufferWidth());
    }
    return at_;
}

#include "LPromptField.h"

namespace {

// Text written from a position leaves the cursor that many cells further on, unless
// the buffer scrolled under it, as a buffer no taller than the window does when the
// text runs past its last row: then the cursor stands higher, and so does every
// position taken before the text was written.
LConsolePosition FollowScroll(const LConsolePosition& at, int32_t written) {
    int32_t width = g_console.GetBufferWidth();
    LConsolePosition cursor{};
    g_console.GetCursorPosition(cursor);
    int32_t scrolled = LConsoleOffset(at, written, width).y - cursor.y;
    return scrolled > 0 && width > 0 ? LConsolePosition{at.x, at.y - scrolled} : at;
}

}  // namespace

LPromptField::LPromptField(int32_t typed) {
    g_console.GetCursorPosition(start_);
    start_ = LConsoleOffset(start_, -typed, g_console.GetBufferWidth());
    g_console.SetCursorPosition(start_);
}

void LPromptField::Blank(int32_t count) {
    g_console.FillCharacter(0, count, start_);
}

void LPromptField::ShowError(const LString& message) {
    attribute_ = g_console.GetTextAttribute();
    errorLength_ = message.GetLength();
    g_console.SetTextAttribute(LConsole::kBrightRed);
    g_console.WriteText(message.GetText(), errorLength_);
    g_console.SetTextAttribute(attribute_);
    error_.emplace(FollowScroll(start_, errorLength_));
}

void LPromptField::ClearError() {
    if (!error_) {
        return;
    }
    LConsolePosition at = error_->Where(errorLength_);
    error_.reset();
    // Cells that scrolled out of the top of the buffer are gone already.
    int32_t count = errorLength_;
    if (at.y < 0) {
        count -= static_cast<int32_t>(-(int64_t{at.y} * g_console.GetBufferWidth() + at.x));
        at = {0, 0};
    }
    if (count > 0) {
        g_console.FillCharacter(0, count, at);
        g_console.FillAttribute(attribute_, count, at);
    }
    g_console.SetCursorPosition(at);
    start_ = at;
}

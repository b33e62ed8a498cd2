#pragma once

#include <cstdint>
#include <optional>

#include "LConsole.h"
#include "LConsoleCell.h"
#include "LString.h"

// The field of a prompt's input on the console: where the typed characters begin,
// and an error shown in their place for a while, then blanked again. Cells are
// counted across row ends, and a buffer no taller than the window that scrolls
// under the text is followed.
class LPromptField {
public:
    // The field whose `typed` characters end at the cursor; the cursor goes back to
    // where they begin.
    explicit LPromptField(int32_t typed);

    const LConsolePosition& Start() const { return start_; }
    // Blanks `count` cells from the start.
    void Blank(int32_t count);
    // Writes the message in bright red from the start.
    void ShowError(const LString& message);
    // Blanks the error in the colours of before, wherever the line has been drawn
    // meanwhile, and puts the cursor where the field begins.
    void ClearError();

private:
    LConsolePosition start_{};
    uint16_t attribute_ = 0;
    int32_t errorLength_ = 0;
    std::optional<LConsoleCell> error_;
};

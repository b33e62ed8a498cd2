#pragma once

#include <cstdint>

#include "LThread.h"

// Turns a one-character indicator (| / - \) in the console cell where the cursor
// stood when the thread started, 140 ms per character. The cursor never moves, so
// the next text written replaces the last character drawn.
class CRotatingThread : public LThread {
public:
    CRotatingThread() = default;
    ~CRotatingThread() override = default;

    int32_t Run() override;

    static const char16_t kCharacters[4];

private:
    uint32_t startIndex_ = 0;
};

#pragma once

#include <cstdint>

#include "LString.h"

// Console keyboard input as the number prompt reads it: one key at a time without
// echo. A key without a character gives a first code of 0 or 0xE0 and its second
// code on the next call; Enter gives 13, Backspace 8, Ctrl+C 3.
namespace keyboard {

// What LGetKey gives when there is no console to read keys from (standard input
// closed, redirected or at its end).
constexpr int32_t kNoInput = -1;

// Held while the prompt runs: on Linux the terminal then neither echoes nor edits
// lines, so keys typed between reads are kept for the next read, as the console
// keeps them.
class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
};

// Waits for a key and returns its code, or kNoInput.
int32_t GetKey();
// Whether a key is waiting to be read.
bool KeyWaiting();
// Writes one character at the cursor.
void PutChar(LChar ch);

}  // namespace keyboard

#pragma once

#include <cstdint>
#include <exception>

#include "LString.h"

// Console keyboard input as the number prompt reads it: one key at a time without
// echo. A key without a character gives a first code of 0 or 0xE0 and its second
// code on the next call; Enter gives 13, Backspace 8, Ctrl+C 3. Keys typed before
// they are read wait for the read, unshown.
namespace keyboard {

// What GetKey gives when there is no console to read keys from (standard input
// closed, redirected or at its end).
constexpr int32_t kNoInput = -1;

constexpr int32_t kEnter = 13;
constexpr int32_t kBackspace = 8;
constexpr int32_t kCtrlC = 3;
// A terminal's sequences that begin with ESC are other keys, or none.
constexpr int32_t kEscape = 27;
// The first codes of a key without a character; its second code follows.
constexpr int32_t kFunctionKey = 0;
constexpr int32_t kExtendedKey = 0xE0;

// Whether there is a keyboard to read keys from at all, with standard input on it: a
// run whose input comes from a file, a pipe or the null device has none.
bool Available();

// Waits for a key and returns its code, or kNoInput.
int32_t GetKey();
// Whether a key is waiting to be read, or the input has ended, so that GetKey
// returns at once either way.
bool KeyWaiting();
// Writes one character at the cursor.
void PutChar(LChar ch);

// Raised where a key must be read but nobody can type one: standard input is no
// console, or it has ended.
class NoConsoleInput : public std::exception {
public:
    const char* what() const noexcept override { return "no console input"; }
};

// The next key. Ctrl+C, read as a key, ends the run as it does everywhere else
// (interrupt::Interrupted); NoConsoleInput when there is no keyboard.
int32_t NextKey();

// Where keys come from instead of the console, for tests.
class Source {
public:
    virtual ~Source() = default;
    virtual bool Available() = 0;
    virtual int32_t GetKey() = 0;
    virtual bool KeyWaiting() = 0;
};
// Takes keys from the source from now on (null: the console again); returns the
// previous one.
Source* SetSource(Source* source);

// The console's own keyboard, in the platform's file.
bool ConsoleAvailable();
int32_t ConsoleGetKey();
bool ConsoleKeyWaiting();

}  // namespace keyboard

#pragma once

#include <string>

// The terminal behind the console on Linux: where cursor queries are answered and
// keys arrive.
namespace terminal {

// Writes all bytes to the descriptor; false when it cannot.
bool WriteAll(int fd, const std::string& bytes);

// Asks the terminal for the cursor (ESC[6n written to outputFd) and reads the reply
// from the controlling terminal; row and column are 1-based. Keys typed before the
// reply arrived are kept for TakePendingInput.
bool QueryCursor(int outputFd, int& row, int& column);

// Bytes of keyboard input that a cursor query read on the way; emptied by the call.
std::string TakePendingInput();

}  // namespace terminal

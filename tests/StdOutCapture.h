#pragma once

#include <cstdio>
#include <string>

// Captures what is written to file descriptor 1, byte for byte. (GoogleTest's own
// capture reads its file back in text mode on Windows, which hides "\r\n".)
class StdOutCapture {
public:
    StdOutCapture();
    ~StdOutCapture();
    StdOutCapture(const StdOutCapture&) = delete;
    StdOutCapture& operator=(const StdOutCapture&) = delete;

    // Ends the capture and returns what was written.
    std::string Finish();

private:
    std::FILE* file_;
    int saved_;
};

#include <cstdio>
#include <string>

#include "ErrorBox.h"
#include "LUtf.h"

// No window system to ask: the caption and the message go to standard error.
void ShowErrorBox(const LChar* text, const LChar* caption) {
    std::string line = Utf8FromUtf16(caption) + ": " + Utf8FromUtf16(text);
    std::fprintf(stderr, "%s\n", line.c_str());
}

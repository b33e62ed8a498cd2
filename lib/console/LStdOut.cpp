#include "LStdOut.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "LUtf.h"

void StdOutWrite(const LChar* text) {
    StdOutWrite(text, LTextLength(text));
}

void StdOutWrite(const LString& text) {
    StdOutWrite(text.GetText(), text.GetLength());
}

void StdOutFormat(const char* format, ...) {
    char buffer[1024];
    va_list arguments;
    va_start(arguments, format);
    int written = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    if (written <= 0) {
        return;
    }
    std::size_t length = static_cast<std::size_t>(written) < sizeof buffer
                             ? static_cast<std::size_t>(written)
                             : sizeof buffer - 1;
    std::u16string text = Utf16FromUtf8(buffer, length);
    StdOutWrite(text.c_str(), static_cast<int32_t>(text.size()));
}

#include <unistd.h>

#include <cerrno>
#include <string>

#include "LStdOut.h"
#include "LUtf.h"

void StdOutWrite(const LChar* text, int32_t length) {
    if (length <= 0) {
        return;
    }
    std::string bytes = Utf8FromUtf16(text, static_cast<std::size_t>(length));
    const char* next = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t written = write(STDOUT_FILENO, next, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;  // a closed or broken output is not the run's business
        }
        next += written;
        left -= static_cast<std::size_t>(written);
    }
}

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <string>

#include "LStdOut.h"
#include "LUtf.h"

// A console receives the UTF-16 text itself; a file or pipe receives UTF-8 bytes,
// written in binary mode so that "\r\n" is not widened to "\r\r\n".
void StdOutWrite(const LChar* text, int32_t length) {
    if (length <= 0) {
        return;
    }
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(1));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        DWORD written = 0;
        WriteConsoleW(handle, reinterpret_cast<const wchar_t*>(text), static_cast<DWORD>(length),
                      &written, nullptr);
        return;
    }
    std::string bytes = Utf8FromUtf16(text, static_cast<std::size_t>(length));
    _setmode(1, _O_BINARY);
    const char* next = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        int written = _write(1, next, static_cast<unsigned>(left));
        if (written <= 0) {
            return;
        }
        next += written;
        left -= static_cast<std::size_t>(written);
    }
}

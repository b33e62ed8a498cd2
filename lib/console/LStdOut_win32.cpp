#include <io.h>
#include <windows.h>

#include <string>

#include "LLiveLine_win32.h"
#include "LStdOut.h"
#include "LStdOutMirror_win32.h"
#include "LUtf.h"
#include "detail/LWriteAll_win32.h"

namespace {
HANDLE mirror = INVALID_HANDLE_VALUE;
}  // namespace

void SetStdOutMirror(HANDLE console) {
    mirror = console;
}

// A console receives the UTF-16 text itself; a file or pipe receives UTF-8 bytes as
// they are, past the C runtime, which would widen "\r\n" to "\r\r\n".
void StdOutWrite(const LChar* text, int32_t length) {
    if (length > 0 && mirror != INVALID_HANDLE_VALUE) {
        liveline::Text(mirror, reinterpret_cast<const wchar_t*>(text), length);
        DWORD written = 0;
        WriteConsoleW(mirror, reinterpret_cast<const wchar_t*>(text), static_cast<DWORD>(length),
                      &written, nullptr);
    }
    if (length <= 0) {
        return;
    }
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(1));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE) {
        return;
    }
    if (GetConsoleMode(handle, &mode)) {
        liveline::Text(handle, reinterpret_cast<const wchar_t*>(text), length);
        DWORD written = 0;
        WriteConsoleW(handle, reinterpret_cast<const wchar_t*>(text), static_cast<DWORD>(length),
                      &written, nullptr);
        return;
    }
    LWriteAll(handle, Utf8FromUtf16(text, static_cast<std::size_t>(length)));
}

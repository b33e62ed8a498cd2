#include <windows.h>

#include <initializer_list>

#include "LProcess.h"

uint32_t LProcessId() {
    return GetCurrentProcessId();
}

// Windows gives a file of the program's no standard handle's place by itself; a
// missing one is still made the null device, so that every stream can be written.
void LOpenClosedStandardStreams() {
    for (DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        HANDLE handle = GetStdHandle(which);
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
            continue;
        }
        HANDLE null =
            CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, 0, nullptr);
        if (null != INVALID_HANDLE_VALUE) {
            SetStdHandle(which, null);
        }
    }
}

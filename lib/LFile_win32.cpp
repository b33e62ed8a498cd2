#include <windows.h>

#include "LFile.h"

LFileHandle LFileOpenForAppend(const LChar* path) {
    // Others may read the log while it is open.
    HANDLE file =
        CreateFileW(reinterpret_cast<const wchar_t*>(path), FILE_APPEND_DATA, FILE_SHARE_READ,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

bool LFileClose(LFileHandle file) {
    return CloseHandle(file) != 0;
}

bool LFileMove(const LChar* from, const LChar* to) {
    return MoveFileW(reinterpret_cast<const wchar_t*>(from),
                     reinterpret_cast<const wchar_t*>(to)) != 0;
}

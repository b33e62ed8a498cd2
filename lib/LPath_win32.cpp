#include <windows.h>

#include "LPath.h"

const LChar kPathSeparator = u'\\';

bool LProgramFilePath(LString& into) {
    constexpr DWORD kMaxPath = MAX_PATH;
    LChar* buffer = into.GetBuffer(kMaxPath);
    DWORD length = GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(buffer), kMaxPath);
    into.SetLength(-1);
    return length != 0;
}

#include <windows.h>

#include "ErrorBox.h"

void ShowErrorBox(const LChar* text, const LChar* caption) {
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text),
                reinterpret_cast<const wchar_t*>(caption), MB_ICONERROR);
}

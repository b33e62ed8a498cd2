#pragma once

#include <string>

#include "LString.h"

inline std::u16string Text(const LString& s) {
    return std::u16string(s.GetText(), s.GetLength());
}

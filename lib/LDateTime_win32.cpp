#include <time.h>
#include <wchar.h>

#include <vector>

#include "LDateTimePlatform.h"

bool LLocalTimeFromValue(int64_t seconds, std::tm& into) {
    __time64_t value = seconds;
    return _localtime64_s(&into, &value) == 0;
}

bool LFormatTime(const LChar* format, const std::tm& time, int32_t capacity, LString& into) {
    std::vector<wchar_t> buffer(static_cast<std::size_t>(capacity), 0);
    std::size_t length =
        wcsftime(buffer.data(), buffer.size(), reinterpret_cast<const wchar_t*>(format), &time);
    // Some runtimes report a full buffer instead of 0 when the text does not fit.
    if (length == 0 || length >= buffer.size()) {
        return false;
    }
    buffer[length] = 0;
    into.Assign(reinterpret_cast<const LChar*>(buffer.data()));
    return true;
}

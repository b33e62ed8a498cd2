#include <cwchar>
#include <limits>
#include <string>
#include <vector>

#include "LDateTimePlatform.h"
#include "LUtf.h"

namespace {
constexpr char32_t kReplacement = 0xFFFD;

// wchar_t holds whole code points here, so surrogate pairs are joined on the way in
// and split on the way out.
std::wstring WideFromUtf16(const LChar* text) {
    const auto length = static_cast<std::size_t>(LTextLength(text));
    std::wstring wide;
    for (std::size_t at = 0; at < length;) {
        const LCodePoint point = CodePointAt(text, at, length);
        at += point.units;
        wide.push_back(static_cast<wchar_t>(IsSurrogate(point.value) ? kReplacement : point.value));
    }
    return wide;
}

std::u16string Utf16FromWide(const wchar_t* text, std::size_t length) {
    std::u16string utf16;
    for (std::size_t i = 0; i < length; ++i) {
        const auto point = static_cast<char32_t>(text[i]);
        AppendUtf16(utf16, point > 0x10FFFF || IsSurrogate(point) ? kReplacement : point);
    }
    return utf16;
}
}  // namespace

bool LLocalTimeFromValue(int64_t seconds, std::tm& into) {
    if (seconds < std::numeric_limits<time_t>::min() ||
        seconds > std::numeric_limits<time_t>::max()) {
        return false;
    }
    auto value = static_cast<time_t>(seconds);
    return localtime_r(&value, &into) != nullptr;
}

bool LFormatTime(const LChar* format, const std::tm& time, int32_t capacity, LString& into) {
    std::vector<wchar_t> buffer(static_cast<std::size_t>(capacity), 0);
    std::size_t length =
        std::wcsftime(buffer.data(), buffer.size(), WideFromUtf16(format).c_str(), &time);
    if (length == 0 || length >= buffer.size()) {
        return false;
    }
    into.Assign(Utf16FromWide(buffer.data(), length).c_str());
    return true;
}

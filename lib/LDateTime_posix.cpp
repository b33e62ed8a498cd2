#include <cwchar>
#include <limits>
#include <string>
#include <vector>

#include "LDateTimePlatform.h"

namespace {
constexpr wchar_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// wchar_t holds whole code points here, so surrogate pairs are joined on the way in
// and split on the way out.
std::wstring WideFromUtf16(const LChar* text) {
    std::wstring wide;
    for (const LChar* at = text; *at != 0; ++at) {
        char32_t unit = *at;
        if (IsHighSurrogate(unit) && IsLowSurrogate(at[1])) {
            char32_t low = *++at;
            wide.push_back(
                static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            wide.push_back(kReplacement);
        } else {
            wide.push_back(static_cast<wchar_t>(unit));
        }
    }
    return wide;
}

std::u16string Utf16FromWide(const wchar_t* text, std::size_t length) {
    std::u16string utf16;
    for (std::size_t i = 0; i < length; ++i) {
        auto point = static_cast<char32_t>(text[i]);
        if (point >= 0x10000 && point <= 0x10FFFF) {
            point -= 0x10000;
            utf16.push_back(static_cast<LChar>(0xD800 + (point >> 10)));
            utf16.push_back(static_cast<LChar>(0xDC00 + (point & 0x3FF)));
        } else if (point > 0x10FFFF || IsHighSurrogate(point) || IsLowSurrogate(point)) {
            utf16.push_back(static_cast<LChar>(kReplacement));
        } else {
            utf16.push_back(static_cast<LChar>(point));
        }
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

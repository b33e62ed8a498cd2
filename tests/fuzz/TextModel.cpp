#include "TextModel.h"

std::u16string ZeroEnded(const std::u16string& text, std::size_t from) {
    if (from >= text.size()) {
        return u"";
    }
    std::size_t end = text.find(u'\0', from);
    return text.substr(from, end == std::u16string::npos ? std::u16string::npos : end - from);
}

bool ModelIsDigit(char16_t ch) {
    return u'0' <= ch && ch <= u'9';
}

bool ModelIsSpace(char16_t ch) {
    static const std::u16string kSpaces =
        u"\t\n\v\f\r \u00A0\u1680\u2000\u2001\u2002\u2003\u2004\u2005\u2006\u2007\u2008\u2009"
        u"\u200A\u2028\u2029\u202F\u205F\u3000";
    return kSpaces.find(ch) != std::u16string::npos;
}

int32_t ModelToInteger(const std::u16string& text) {
    const std::u16string t = ZeroEnded(text);
    std::size_t first = t.find_first_of(u"0123456789");
    if (first == std::u16string::npos) {
        return 0;
    }
    uint32_t value = 0;
    for (std::size_t i = first; i < t.size() && ModelIsDigit(t[i]); ++i) {
        value = value * 10u + static_cast<uint32_t>(t[i] - u'0');
    }
    std::size_t before = first;
    while (before > 0 && ModelIsSpace(t[before - 1])) {
        --before;
    }
    if (before > 0 && t[before - 1] == u'-') {
        value = 0u - value;
    }
    return static_cast<int32_t>(value);
}

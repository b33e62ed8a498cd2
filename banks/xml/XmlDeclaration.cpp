#include "XmlDeclaration.h"

#include <cstddef>
#include <cstring>
#include <utility>

#include "LUtf.h"

namespace {

constexpr std::size_t kNone = std::string::npos;

template <typename Char>
bool IsSpace(Char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A character of either text as a code unit, bytes taken as unsigned.
char32_t Unit(char c) {
    return static_cast<unsigned char>(c);
}
char32_t Unit(char16_t c) {
    return c;
}

char32_t AsciiLower(char32_t c) {
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

// Whether text[from, to) is the ASCII word, with letters of either case when asked.
template <typename Text>
bool IsWord(const Text& text, std::size_t from, std::size_t to, const char* word, bool anyCase) {
    if (to - from != std::strlen(word)) {
        return false;
    }
    for (std::size_t i = from; i < to; ++i, ++word) {
        const char32_t c = Unit(text[i]);
        const char32_t w = Unit(*word);
        if (anyCase ? AsciiLower(c) != AsciiLower(w) : c != w) {
            return false;
        }
    }
    return true;
}

// Where the value of the `encoding` pseudo-attribute lies between the quotes, in the
// declaration's text[at, end): [first, second), or kNone when it names none. The
// text is read as name, "=", quoted value, with spaces between, until it reads
// otherwise.
template <typename Text>
std::pair<std::size_t, std::size_t> EncodingValue(const Text& text, std::size_t at,
                                                  std::size_t end) {
    auto skipSpaces = [&] {
        while (at < end && IsSpace(text[at])) {
            ++at;
        }
    };
    while (true) {
        skipSpaces();
        const std::size_t name = at;
        while (at < end && !IsSpace(text[at]) && text[at] != '=') {
            ++at;
        }
        const std::size_t nameEnd = at;
        skipSpaces();
        if (at >= end || text[at] != '=') {
            break;
        }
        ++at;
        skipSpaces();
        if (at >= end || (text[at] != '"' && text[at] != '\'')) {
            break;
        }
        const auto quote = text[at++];
        const std::size_t value = at;
        while (at < end && text[at] != quote) {
            ++at;
        }
        if (at >= end) {
            break;
        }
        if (IsWord(text, name, nameEnd, "encoding", false)) {
            return {value, at};
        }
        ++at;
    }
    return {kNone, kNone};
}

bool IsUtf8(const std::string& bytes) {
    // Decoding turns each byte that is no UTF-8 into U+FFFD, which encodes as other
    // bytes.
    const std::u16string text = Utf16FromUtf8(bytes.data(), bytes.size());
    return Utf8FromUtf16(text.data(), text.size()) == bytes;
}

}  // namespace

std::u16string Utf8DeclarationData(const std::u16string& data) {
    const auto [first, second] = EncodingValue(data, 0, data.size());
    if (first == kNone) {
        return data;
    }
    return data.substr(0, first) + u"UTF-8" + data.substr(second);
}

bool IsUtf8AsDeclared(const std::string& bytes) {
    if (!IsUtf8(bytes)) {
        return false;
    }
    const std::size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    if (bytes.compare(start, 5, "<?xml") != 0 || bytes.size() <= start + 5 ||
        !IsSpace(bytes[start + 5])) {
        return true;
    }
    const std::size_t close = bytes.find("?>", start);
    if (close == kNone) {
        return false;
    }
    const auto [first, second] = EncodingValue(bytes, start + 5, close);
    return first == kNone || IsWord(bytes, first, second, "UTF-8", true);
}

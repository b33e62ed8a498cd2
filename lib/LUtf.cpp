#include "LUtf.h"

#include <cstring>

namespace {
constexpr char32_t kReplacement = 0xFFFD;

void PutUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsHigh(char32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLow(char32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}
}  // namespace

LCodePoint CodePointAt(const LChar* text, std::size_t at, std::size_t length) {
    const char32_t unit = text[at];
    if (IsHigh(unit) && at + 1 < length && IsLow(text[at + 1])) {
        return {0x10000 + ((unit - 0xD800) << 10) + (char32_t{text[at + 1]} - 0xDC00), 2};
    }
    return {unit, 1};
}

std::size_t Utf8SequenceLength(unsigned char lead) {
    return lead >= 0xC2 && lead <= 0xDF   ? 2
           : lead >= 0xE0 && lead <= 0xEF ? 3
           : lead >= 0xF0 && lead <= 0xF4 ? 4
                                          : 1;
}

bool IsSurrogate(char32_t value) {
    return value >= 0xD800 && value <= 0xDFFF;
}

void AppendUtf16(std::u16string& out, char32_t value) {
    if (value < 0x10000) {
        out += static_cast<char16_t>(value);
    } else {
        value -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (value >> 10));
        out += static_cast<char16_t>(0xDC00 + (value & 0x3FF));
    }
}

namespace {

// What becomes of a byte that is not UTF-8, or of a lone surrogate.
enum class Undecodable { kReplace, kEscape };

constexpr char32_t kFirstEscape = 0xDC80;
constexpr char32_t kLastEscape = 0xDCFF;

std::string Encode(const LChar* text, std::size_t length, Undecodable undecodable) {
    std::string out;
    out.reserve(length);
    for (std::size_t i = 0; i < length;) {
        const LCodePoint point = CodePointAt(text, i, length);
        i += point.units;
        if (undecodable == Undecodable::kEscape && point.value >= kFirstEscape &&
            point.value <= kLastEscape) {
            out += static_cast<char>(point.value - 0xDC00);
        } else {
            PutUtf8(out, IsSurrogate(point.value) ? kReplacement : point.value);
        }
    }
    return out;
}

std::u16string Decode(const char* text, std::size_t length, Undecodable undecodable) {
    std::u16string out;
    out.reserve(length);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    std::size_t i = 0;
    while (i < length) {
        static const unsigned char kLeadBits[] = {0x7F, 0x1F, 0x0F, 0x07};
        static const char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        const unsigned char lead = bytes[i];
        const std::size_t extra = Utf8SequenceLength(lead) - 1;
        char32_t cp = lead & kLeadBits[extra];
        const char32_t minimum = kSmallest[extra];
        bool ok = (lead < 0x80 || extra > 0) && i + extra < length;
        for (std::size_t k = 1; ok && k <= extra; ++k) {
            ok = (bytes[i + k] & 0xC0) == 0x80;
            cp = (cp << 6) | (bytes[i + k] & 0x3F);
        }
        if (!ok || cp < minimum || cp > 0x10FFFF || IsSurrogate(cp)) {
            // Only bytes from 0x80 up can fail: each goes alone, as an escape or a
            // replacement, and decoding goes on at the next byte.
            AppendUtf16(out, undecodable == Undecodable::kEscape ? 0xDC00 + lead : kReplacement);
            ++i;
            continue;
        }
        AppendUtf16(out, cp);
        i += extra + 1;
    }
    return out;
}

}  // namespace

std::string Utf8FromUtf16(const LChar* text, std::size_t length) {
    return Encode(text, length, Undecodable::kReplace);
}

std::u16string Utf16FromUtf8(const char* text, std::size_t length) {
    return Decode(text, length, Undecodable::kReplace);
}

std::string Utf8FromUtf16(const LChar* text) {
    return Utf8FromUtf16(text, static_cast<std::size_t>(LTextLength(text)));
}

std::u16string Utf16FromUtf8(const char* text) {
    return text == nullptr ? std::u16string() : Utf16FromUtf8(text, std::strlen(text));
}

std::u16string LDecimal(int64_t value) {
    return Utf16FromUtf8(std::to_string(value).c_str());
}

std::u16string Utf16FromPathBytes(const char* bytes, std::size_t length) {
    return Decode(bytes, length, Undecodable::kEscape);
}

std::u16string Utf16FromPathBytes(const char* bytes) {
    return bytes == nullptr ? std::u16string() : Utf16FromPathBytes(bytes, std::strlen(bytes));
}

std::string PathBytesFromUtf16(const LChar* path) {
    return Encode(path, static_cast<std::size_t>(LTextLength(path)), Undecodable::kEscape);
}

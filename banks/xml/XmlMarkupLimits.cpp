#include "XmlMarkupLimits.h"

#include <cstddef>

#include "XmlEncoding.h"
#include "XmlMarkupScan.h"

namespace {

enum class Family { kSingleBytes, kUtf8Mark, kUtf16, kUtf32 };

struct EncodingSignature {
    const char* start;
    std::size_t length;
    Family family;
    std::size_t lowByte;  // where in a code unit its lowest byte lies
    std::size_t mark;     // code units of a byte order mark
};

// The first bytes by which the XML parser tells UTF-32 ("<", in four byte orders),
// UTF-16 ("<?", or a byte order mark) and UTF-8 with a byte order mark apart from
// the encodings of single bytes.
constexpr EncodingSignature kSignatures[] = {
    {"\0\0\0<", 4, Family::kUtf32, 3, 0},         {"<\0\0\0", 4, Family::kUtf32, 0, 0},
    {"\0\0<\0", 4, Family::kUtf32, 2, 0},         {"\0<\0\0", 4, Family::kUtf32, 1, 0},
    {"<\0?\0", 4, Family::kUtf16, 0, 0},          {"\0<\0?", 4, Family::kUtf16, 1, 0},
    {"\xFE\xFF", 2, Family::kUtf16, 1, 1},        {"\xFF\xFE", 2, Family::kUtf16, 0, 1},
    {"\xEF\xBB\xBF", 3, Family::kUtf8Mark, 0, 3},
};
constexpr EncodingSignature kSingleBytes = {"", 0, Family::kSingleBytes, 0, 0};

const EncodingSignature& SignatureOf(const std::string& bytes) {
    for (const auto& signature : kSignatures) {
        if (bytes.compare(0, signature.length, signature.start, signature.length) == 0) {
            return signature;
        }
    }
    return kSingleBytes;
}

std::size_t UnitWidth(Family family) {
    return family == Family::kUtf32 ? 4 : family == Family::kUtf16 ? 2 : 1;
}

char Lower(char ch) {
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

std::string Lowered(std::string text) {
    for (char& ch : text) {
        ch = Lower(ch);
    }
    return text;
}

bool IsLetter(char ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

// Reads an XML declaration's parts as the grammar has them: version, then the
// encoding and the standalone declaration, each optional, in that order.
class Declaration {
public:
    Declaration(const MarkupView& view, std::size_t at) : view_(view), at_(at) {}

    // False when the document opens with a declaration that is not well-formed,
    // which no parser reads; `encoding` is empty when none is named.
    bool Read(std::string& encoding) {
        encoding.clear();
        if (!view_.At(at_, "<?xml") || !IsXmlSpace(view_[at_ + 5])) {
            return true;
        }
        at_ += 5;
        std::string version;
        if (!Pseudo("version", version) || version.size() < 3 || version.compare(0, 2, "1.") != 0 ||
            !AllOf(version.substr(2), IsDigit)) {
            return false;
        }
        std::string value;
        const std::size_t afterVersion = at_;
        if (Pseudo("encoding", value)) {
            if (!IsLetter(value[0]) || !AllOf(value, [](char ch) {
                    return IsLetter(ch) || IsDigit(ch) || ch == '.' || ch == '_' || ch == '-';
                })) {
                return false;
            }
            encoding = value;
        } else {
            at_ = afterVersion;
        }
        const std::size_t afterEncoding = at_;
        if (Pseudo("standalone", value)) {
            if (value != "yes" && value != "no") {
                return false;
            }
        } else {
            at_ = afterEncoding;
        }
        while (IsXmlSpace(view_[at_])) {
            ++at_;
        }
        return view_.At(at_, "?>");
    }

private:
    template <typename Test>
    static bool AllOf(const std::string& text, Test test) {
        for (char ch : text) {
            if (!test(ch)) {
                return false;
            }
        }
        return true;
    }

    // Space, the name, an equals sign between optional spaces, then a quoted value.
    bool Pseudo(const char* name, std::string& value) {
        value.clear();
        if (!IsXmlSpace(view_[at_])) {
            return false;
        }
        while (IsXmlSpace(view_[at_])) {
            ++at_;
        }
        if (!view_.At(at_, name)) {
            return false;
        }
        for (at_ += std::char_traits<char>::length(name); IsXmlSpace(view_[at_]); ++at_) {
        }
        if (view_[at_] != '=') {
            return false;
        }
        for (++at_; IsXmlSpace(view_[at_]); ++at_) {
        }
        const char quote = view_[at_];
        if (quote != '"' && quote != '\'') {
            return false;
        }
        for (++at_; at_ < view_.Size() && view_[at_] != quote; ++at_) {
            value += view_[at_];
        }
        if (view_[at_] != quote || value.empty()) {
            return false;
        }
        ++at_;
        return true;
    }

    const MarkupView& view_;
    std::size_t at_;
};

bool NamesUtf8(const std::string& encoding) {
    const std::string name = Lowered(encoding);
    return name == "utf-8" || name == "utf8";
}

// What a document of UTF-16 may declare: UTF-16 itself, or its own byte order.
bool NamesUtf16(const std::string& encoding, std::size_t lowByte) {
    const std::string name = Lowered(encoding);
    return name == "utf-16" || name == "utf16" || name == (lowByte == 0 ? "utf-16le" : "utf-16be");
}

// The characters of markup and of the declaration, every printable ASCII character
// but the two that national variants of ASCII give other glyphs ('\' as the yen
// sign in Shift_JIS, '~' as the overline): in an encoding that gives each of them
// as itself, markup is ASCII.
constexpr char kMarkupCharacters[] =
    "\t\n\r !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_`"
    "abcdefghijklmnopqrstuvwxyz{|}";

bool KeepsMarkupAscii(const std::string& encoding) {
    const std::string markup(kMarkupCharacters);
    std::string converted;
    return ConvertToUtf8(encoding, markup, converted) && converted == markup;
}

}  // namespace

bool HoldsNullCharacter(const std::string& bytes) {
    const std::size_t width = UnitWidth(SignatureOf(bytes).family);
    for (std::size_t unit = 0; unit + width <= bytes.size(); unit += width) {
        if (bytes.find_first_not_of('\0', unit) >= unit + width) {
            return true;
        }
    }
    return false;
}

// A document in an encoding of its own is converted the way the parser converts it,
// and its markup counted on the result, so that a byte that is part of another
// character (the second byte of one in Shift_JIS may be ']') is never taken for
// markup, nor markup for part of another character.
bool WithinMarkupLimits(const std::string& bytes) {
    const EncodingSignature& signature = SignatureOf(bytes);
    if (signature.family == Family::kUtf32) {
        return false;  // neither parser reads it
    }
    const MarkupView view(bytes, UnitWidth(signature.family), signature.lowByte);
    std::string encoding;
    if (!Declaration(view, signature.mark).Read(encoding)) {
        return false;
    }
    switch (signature.family) {
        case Family::kUtf16:
            return (encoding.empty() || NamesUtf16(encoding, signature.lowByte)) &&
                   MarkupWithinLimits(view, signature.mark);
        case Family::kUtf8Mark:
            return (encoding.empty() || NamesUtf8(encoding)) &&
                   MarkupWithinLimits(view, signature.mark);
        default:
            break;
    }
    if (encoding.empty() || NamesUtf8(encoding)) {
        return MarkupWithinLimits(view, 0);
    }
    std::string converted;
    if (!KeepsMarkupAscii(encoding) || !ConvertToUtf8(encoding, bytes, converted)) {
        return false;
    }
    return MarkupWithinLimits(MarkupView(converted, 1, 0), 0);
}

#include "XmlFile.h"

#include <cstddef>
#include <cstring>

namespace {

struct EncodingSignature {
    const char* start;
    std::size_t length;
    std::size_t unitWidth;
    std::size_t lowByte;  // where in a code unit its lowest byte lies
};

// The first bytes by which the XML parser tells UTF-32 ("<", in four byte orders)
// and UTF-16 ("<?", or a byte order mark) apart from the encodings of single bytes.
constexpr EncodingSignature kWideEncodings[] = {
    {"\0\0\0<", 4, 4, 3}, {"<\0\0\0", 4, 4, 0}, {"\0\0<\0", 4, 4, 2},  {"\0<\0\0", 4, 4, 1},
    {"<\0?\0", 4, 2, 0},  {"\0<\0?", 4, 2, 1},  {"\xFE\xFF", 2, 2, 1}, {"\xFF\xFE", 2, 2, 0},
};
constexpr EncodingSignature kSingleBytes = {"", 0, 1, 0};

const EncodingSignature& EncodingOf(const std::string& bytes) {
    for (const auto& encoding : kWideEncodings) {
        if (bytes.compare(0, encoding.length, encoding.start, encoding.length) == 0) {
            return encoding;
        }
    }
    return kSingleBytes;
}

// The document's characters as far as markup goes: each ASCII character as itself,
// every other one as kOther. In the single-byte encodings allowed (below) the ASCII
// bytes are always ASCII characters.
class MarkupView {
public:
    static constexpr char kOther = '\x80';

    explicit MarkupView(const std::string& bytes)
        : bytes_(bytes), encoding_(EncodingOf(bytes)), size_(bytes.size() / encoding_.unitWidth) {}

    std::size_t Size() const { return size_; }
    bool IsWide() const { return encoding_.unitWidth > 1; }

    char operator[](std::size_t at) const {
        if (at >= size_) {
            return '\0';
        }
        const std::size_t unit = at * encoding_.unitWidth;
        for (std::size_t i = 0; i < encoding_.unitWidth; ++i) {
            if (i != encoding_.lowByte && bytes_[unit + i] != '\0') {
                return kOther;
            }
        }
        const auto low = static_cast<unsigned char>(bytes_[unit + encoding_.lowByte]);
        return low < 0x80 ? static_cast<char>(low) : kOther;
    }

    bool At(std::size_t at, const char* text) const {
        for (std::size_t i = 0; text[i] != 0; ++i) {
            if ((*this)[at + i] != text[i]) {
                return false;
            }
        }
        return true;
    }

    // Just past the next `text` from `at`, or the end.
    std::size_t Past(std::size_t at, const char* text) const {
        for (; at < size_; ++at) {
            if (At(at, text)) {
                return at + std::strlen(text);
            }
        }
        return size_;
    }

private:
    const std::string& bytes_;
    const EncodingSignature& encoding_;
    std::size_t size_;
};

bool IsSpace(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

char Lower(char ch) {
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

// Encodings whose ASCII bytes are always ASCII characters, the only ones a document
// of single bytes may declare: not UTF-7, EBCDIC or ISO-2022, in which markup could
// hide from the count below.
bool IsAsciiCompatible(const std::string& name) {
    static const char* const kNames[] = {
        "utf-8", "utf8",        "us-ascii", "ascii",  "shift_jis", "shift-jis",
        "sjis",  "windows-31j", "cp932",    "euc-jp", "euc-kr",    "gb2312",
        "gbk",   "gb18030",     "big5",     "koi8-r", "koi8-u"};
    static const char* const kFamilies[] = {"iso-8859-", "iso8859-", "windows-125", "cp125",
                                            "latin"};
    for (const char* known : kNames) {
        if (name == known) {
            return true;
        }
    }
    for (const char* family : kFamilies) {
        if (name.size() > std::strlen(family) &&
            name.compare(0, std::strlen(family), family) == 0) {
            return true;
        }
    }
    return false;
}

// The encoding the XML declaration names, lower-cased; empty without one.
std::string DeclaredEncoding(const MarkupView& view, std::size_t start) {
    if (!view.At(start, "<?xml") || !IsSpace(view[start + 5])) {
        return std::string();
    }
    const std::size_t end = view.Past(start, "?>");
    std::size_t at = view.Past(start, "encoding");
    if (at >= end) {
        return std::string();
    }
    while (IsSpace(view[at]) || view[at] == '=') {
        ++at;
    }
    const char quote = view[at];
    std::string name;
    for (++at; at < end && view[at] != quote; ++at) {
        name += Lower(view[at]);
    }
    return name;
}

// Walks a document's markup without parsing it, counting what a parser would spend
// time on out of proportion to the file's size.
class MarkupScan {
public:
    explicit MarkupScan(const MarkupView& view) : view_(view) {}

    bool WithinLimits() {
        std::size_t at = 0;
        // A byte order mark, then nothing but markup may open a document.
        while (at < 3 && view_[at] == MarkupView::kOther) {
            ++at;
        }
        const std::size_t start = at;
        while (IsSpace(view_[at])) {
            ++at;
        }
        if (view_[at] != '<') {
            return false;
        }
        const std::string encoding = DeclaredEncoding(view_, start);
        if (!view_.IsWide() && !encoding.empty() && !IsAsciiCompatible(encoding)) {
            return false;
        }
        while (at < view_.Size()) {
            if (view_[at] != '<') {
                ++at;
            } else if (view_.At(at, "<!--")) {
                at = view_.Past(at + 4, "-->");
            } else if (view_.At(at, "<![CDATA[")) {
                at = view_.Past(at + 9, "]]>");
            } else if (view_.At(at, "<?")) {
                at = view_.Past(at + 2, "?>");
            } else if (view_.At(at, "<!DOCTYPE")) {
                if (!DocumentType(at)) {
                    return false;
                }
            } else {
                // A start tag: its attributes are the equals signs outside its values.
                int32_t attributes = 0;
                at = EndOfMarkup(at + 1, attributes);
                if (attributes > kMostXmlAttributes) {
                    return false;
                }
            }
        }
        return true;
    }

private:
    // Just past the '>' that ends the markup, quoted values skipped; counts the '='.
    std::size_t EndOfMarkup(std::size_t at, int32_t& equals) const {
        while (at < view_.Size()) {
            const char ch = view_[at];
            if (ch == '"' || ch == '\'') {
                at = EndOfQuote(at);
            } else if (ch == '>') {
                return at + 1;
            } else {
                equals += ch == '=' ? 1 : 0;
                ++at;
            }
        }
        return at;
    }

    std::size_t EndOfQuote(std::size_t at) const {
        const char quote = view_[at];
        for (++at; at < view_.Size() && view_[at] != quote; ++at) {
        }
        return at + 1;
    }

    // The document type and its internal subset: every attribute its attribute-list
    // declarations give counts, and a parameter entity is refused, since what it
    // stands for is not counted.
    bool DocumentType(std::size_t& at) {
        for (at += 9; at < view_.Size() && view_[at] != '[' && view_[at] != '>';) {
            at = view_[at] == '"' || view_[at] == '\'' ? EndOfQuote(at) : at + 1;
        }
        if (view_[at] != '[') {
            ++at;
            return true;
        }
        int32_t declared = 0;
        for (++at; at < view_.Size();) {
            int32_t ignored = 0;
            if (view_[at] == ']') {
                at = EndOfMarkup(at, ignored);
                return true;
            } else if (view_[at] == '%') {
                return false;
            } else if (view_.At(at, "<!--")) {
                at = view_.Past(at + 4, "-->");
            } else if (view_.At(at, "<?")) {
                at = view_.Past(at + 2, "?>");
            } else if (view_.At(at, "<!ATTLIST")) {
                at = AttributeList(at + 9, declared);
                if (declared > kMostXmlAttributes) {
                    return false;
                }
            } else if (view_[at] == '<') {
                at = EndOfMarkup(at + 1, ignored);
            } else {
                ++at;
            }
        }
        return true;
    }

    // Each attribute definition ends in #REQUIRED, #IMPLIED or a default value.
    std::size_t AttributeList(std::size_t at, int32_t& definitions) const {
        while (at < view_.Size() && view_[at] != '>') {
            if (view_[at] == '"' || view_[at] == '\'') {
                ++definitions;
                at = EndOfQuote(at);
            } else {
                definitions += view_.At(at, "#REQUIRED") || view_.At(at, "#IMPLIED") ? 1 : 0;
                ++at;
            }
        }
        return at + 1;
    }

    const MarkupView& view_;
};

}  // namespace

bool HoldsNullCharacter(const std::string& bytes) {
    const std::size_t width = EncodingOf(bytes).unitWidth;
    for (std::size_t unit = 0; unit + width <= bytes.size(); unit += width) {
        if (bytes.find_first_not_of('\0', unit) >= unit + width) {
            return true;
        }
    }
    return false;
}

bool WithinMarkupLimits(const std::string& bytes) {
    const MarkupView view(bytes);
    return MarkupScan(view).WithinLimits();
}

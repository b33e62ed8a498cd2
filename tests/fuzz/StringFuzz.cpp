// Sequences of LString operations, each checked against the same operation on a
// std::u16string; after every step the string's text, length and the zeros past
// its in-use size are checked too.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "LString.h"
#include "TextModel.h"

namespace {

using Text = std::u16string;

// Bounds that keep one input fast; the growth rule changes at 1024, so sizes go
// past it.
constexpr int32_t kMaxSize = 1300;
constexpr std::size_t kMaxText = 40;

Text Of(const LString& s) {
    return Text(s.GetText(), static_cast<std::size_t>(s.GetLength()));
}

// The character at an index, the terminator and what lies past it reading as zero.
char16_t At(const Text& t, int32_t i) {
    return i >= 0 && static_cast<std::size_t>(i) < t.size() ? t[static_cast<std::size_t>(i)] : 0;
}

// Mostly Latin-1, so that digits, minus signs, spaces and letters come often; now and
// then any UTF-16 code unit.
char16_t NextChar(FuzzedDataProvider& in) {
    uint8_t byte = in.ConsumeIntegral<uint8_t>();
    if (byte < 0xF0) {
        return byte;
    }
    return in.ConsumeIntegral<char16_t>();
}

// A zero-free text.
Text NextText(FuzzedDataProvider& in) {
    Text text;
    std::size_t length = in.ConsumeIntegralInRange<std::size_t>(0, kMaxText);
    while (text.size() < length && in.remaining_bytes() > 0) {
        char16_t ch = NextChar(in);
        text += ch != 0 ? ch : u'0';
    }
    return text;
}

void Check(const LString& s, const Text& model, const char* what) {
    FuzzCheck(Of(s) == model, what);
    FuzzCheck(s.GetText()[s.GetLength()] == 0, "terminated");
    FuzzCheck(s.GetCapacity() >= s.GetSize(), "capacity covers the size");
    FuzzCheck(s.GetSize() == 0 ? s.GetLength() == 0 : s.GetLength() < s.GetSize(),
              "the text lies in the size");
    for (int32_t i = s.GetSize(); i < s.GetCapacity(); ++i) {
        FuzzCheck(s.GetText()[i] == 0, "zero past the size");
    }
}

int32_t ModelFind(const Text& m, int32_t count, char16_t ch, int32_t start) {
    start = start < 0 ? 0 : start;
    if (start >= static_cast<int32_t>(m.size()) || count == 0) {
        return -1;
    }
    count = count < 0 ? 1 : count;
    // The search runs from the start to the next zero.
    const Text t = ZeroEnded(m, static_cast<std::size_t>(start));
    for (std::size_t at = t.find(ch); at != Text::npos; at = t.find(ch, at + 1)) {
        if (--count == 0) {
            return start + static_cast<int32_t>(at);
        }
    }
    return -1;
}

int32_t ModelFindReverse(const Text& m, int32_t count, char16_t ch, int32_t start) {
    const auto length = static_cast<int32_t>(m.size());
    start = (start < 0 || start >= length) ? length : start;
    count = count < 0 ? 1 : count;
    if (count == 0 || length == 0 || start == 0) {
        return -1;
    }
    for (int32_t i = start; i >= 0; --i) {
        if (At(m, i) == ch && --count == 0) {
            return i;
        }
    }
    return -1;
}

int32_t Fold(char16_t ch) {
    return (u'A' <= ch && ch <= u'Z') ? ch - u'A' + u'a' : ch;
}

int32_t ModelCompareNoCase(const Text& m, const Text& text, int32_t n) {
    if ((m.empty() && text.empty()) || n == 0) {
        return 0;
    }
    for (int32_t i = 0;; ++i) {
        int32_t a = Fold(At(m, i));
        int32_t b = Fold(At(text, i));
        if (a != b || At(m, i) == 0 || i + 1 == n) {
            return a - b;
        }
    }
}

Text ModelMid(const Text& m, int32_t start, int32_t count) {
    start = start < 0 ? 0 : start;
    count = count < 0 ? 0 : count;
    if (start >= static_cast<int32_t>(m.size())) {
        return u"";
    }
    return m.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count));
}

// Left, Mid and Right of the string against the model, and Concat, which copies.
void CheckSlices(const LString& s, const Text& m, FuzzedDataProvider& in) {
    auto length = static_cast<int32_t>(m.size());
    int32_t a = in.ConsumeIntegralInRange<int32_t>(-3, length + 3);
    int32_t b = in.ConsumeIntegralInRange<int32_t>(-3, length + 3);
    int32_t n = a < 0 ? 0 : (a > length ? length : a);
    FuzzCheck(Of(s.Left(a)) == m.substr(0, static_cast<std::size_t>(n)), "Left");
    FuzzCheck(Of(s.Right(a)) == m.substr(m.size() - static_cast<std::size_t>(n)), "Right");
    FuzzCheck(Of(s.Mid(a, b)) == ModelMid(m, a, b), "Mid");
    FuzzCheck(Of(s.Mid(a)) == ModelMid(m, a, length), "Mid to the end");
    FuzzCheck(s.Left(a).GetSize() == (n == 0 ? 0 : n + 1), "slices take exactly their size");
    Text tail = NextText(in);
    FuzzCheck(Of(Concat(s, tail.c_str())) == m + tail, "Concat");
}

void CheckQueries(const LString& s, const Text& m, FuzzedDataProvider& in) {
    auto length = static_cast<int32_t>(m.size());
    int32_t count = in.ConsumeIntegralInRange<int32_t>(-1, 3);
    char16_t ch = NextChar(in);
    int32_t start = in.ConsumeIntegralInRange<int32_t>(-2, length + 2);
    FuzzCheck(s.Find(count, ch, start) == ModelFind(m, count, ch, start), "Find");
    FuzzCheck(s.FindReverse(count, ch, start) == ModelFindReverse(m, count, ch, start),
              "FindReverse");
    FuzzCheck(s.ToInteger() == ModelToInteger(m), "ToInteger");
    Text other = NextText(in);
    int32_t n = in.ConsumeIntegralInRange<int32_t>(-1, kMaxText);
    int32_t compared = s.CompareNoCase(other.c_str(), n);
    FuzzCheck(compared == ModelCompareNoCase(m, other, n), "CompareNoCase");
}

// GetBuffer(n), a writer that fills up to n characters and perhaps a zero, then
// SetLength(-1).
void WriteThroughBuffer(LString& s, Text& m, FuzzedDataProvider& in) {
    int32_t n = in.ConsumeIntegralInRange<int32_t>(-1, kMaxSize - 1);
    if (n <= 0) {
        n = static_cast<int32_t>(m.size());
    }
    LChar* buffer = s.GetBuffer(n);
    m.resize(static_cast<std::size_t>(n), u'\0');
    int32_t written = in.ConsumeIntegralInRange<int32_t>(0, n);
    for (int32_t i = 0; i < written; ++i) {
        buffer[i] = NextChar(in);
        m[static_cast<std::size_t>(i)] = buffer[i];
    }
    s.SetLength(-1);
    m = ZeroEnded(m);
}

void Step(LString& s, Text& m, FuzzedDataProvider& in) {
    auto length = static_cast<int32_t>(m.size());
    switch (in.ConsumeIntegralInRange<int>(0, 14)) {
        case 0: {
            Text text = NextText(in);
            s.Assign(text.c_str());
            m = text;
            break;
        }
        case 1: {  // a text from the string's own buffer
            int32_t at = in.ConsumeIntegralInRange<int32_t>(0, length);
            s.Assign(s.GetText() + at);
            m = ZeroEnded(m, static_cast<std::size_t>(at));
            break;
        }
        case 2: {
            Text text = NextText(in);
            s.Assign(LString(text.c_str()));
            m = text;
            break;
        }
        case 3: {
            Text text = NextText(in);
            s.Append(text.c_str());
            m += text;
            break;
        }
        case 4: {
            int32_t at = in.ConsumeIntegralInRange<int32_t>(0, length);
            m += ZeroEnded(m, static_cast<std::size_t>(at));
            s.Append(s.GetText() + at);
            break;
        }
        case 5: {
            Text text = NextText(in);
            s.Append(LString(text.c_str()));
            m += text;
            break;
        }
        case 6:
            s.Append(s);
            m += m;
            break;
        case 7: {
            char16_t ch = NextChar(in);
            s.AppendChar(ch);
            m += ch;
            break;
        }
        case 8:
            s.Empty();
            m.clear();
            break;
        case 9: {
            int32_t size = in.ConsumeIntegralInRange<int32_t>(-2, kMaxSize);
            s.SetSize(size);
            if (size <= 0) {
                m.clear();
            } else if (static_cast<std::size_t>(size) <= m.size()) {
                m.resize(static_cast<std::size_t>(size - 1));
            }
            break;
        }
        case 10:
            WriteThroughBuffer(s, m, in);
            break;
        case 11: {
            int32_t n = in.ConsumeIntegralInRange<int32_t>(0, length);
            s.SetLength(n);
            m.resize(static_cast<std::size_t>(n));
            break;
        }
        case 12: {
            LString copy(s);
            s = copy;
            break;
        }
        case 13:
            CheckSlices(s, m, in);
            break;
        default:
            CheckQueries(s, m, in);
            break;
    }
    if (m.size() > static_cast<std::size_t>(kMaxSize)) {
        s.Empty();
        m.clear();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    LString s;
    Text m;
    while (in.remaining_bytes() > 0) {
        Step(s, m, in);
        Check(s, m, "text after a step");
    }
    return 0;
}

#include "LString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TextHelpers.h"

namespace {

struct IntegerCase {
    std::u16string text;
    int32_t value;
};

TEST(LStringToInteger, ReadsTheFirstDigitRunWithItsSign) {
    const IntegerCase cases[] = {
        {u"25", 25},
        {u"12abc", 12},
        {u"abc", 0},
        {u"", 0},
        {u"x - 7", -7},
        {u"a-b5", 5},
        {u"--3", -3},
        {u"1-2", 1},
        {u"+8", 8},
        {u"007", 7},
        {u"0", 0},
        {u"abc12", 12},
        {u"1x5", 1},
        {u"-\t\n\v\f\r 4", -4},
        {u"-\u00A05", -5},
        {u"-\u30006", -6},  // ideographic space
        {u"-\u20287", -7},  // line separator
        {u"-\u00859", 9},   // next line is not white space here
        {u"-_9", 9},
        {u"-", 0},
        {u"  -  12  -3", -12},
        {u"99999999999", 1215752191},
        {u"4294967297", 1},
        {u"2147483648", -2147483648},
        {u"-2147483648", -2147483648},
        {u"2147483647", 2147483647},
        {u"\u0661\u0662 3", 3},  // Arabic-Indic digits are not digits here
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LString(c.text.c_str()).ToInteger(), c.value)
            << "text: " << std::string(c.text.begin(), c.text.end());
    }
}

struct FindCase {
    std::u16string text;
    int32_t count;
    char16_t ch;
    int32_t start;
    int32_t forward;
    int32_t reverse;
};

TEST(LStringFind, ForwardAndReverse) {
    const FindCase cases[] = {
        {u"186-189", 1, u'-', 0, 3, -1},
        {u"186-189", 1, u'-', -1, 3, 3},
        {u"25", 1, u'-', 0, -1, -1},
        {u"banana", 2, u'a', 0, 3, -1},  // reverse from index 0 examines nothing
        {u"banana", 2, u'a', -1, 3, 3},
        {u"banana", 0, u'a', 0, -1, -1},
        {u"banana", -4, u'a', 0, 1, -1},  // a negative count counts as 1
        {u"banana", 1, u'a', 6, -1, 5},   // start at the length: forward -1, reverse from the end
        {u"banana", 1, u'a', 99, -1, 5},
        {u"banana", 1, u'a', 2, 3, 1},
        {u"banana", 3, u'a', 1, 5, -1},
        {u"abc", 1, u'a', 1, -1, 0},
        {u"abc", 1, u'a', 0, 0, -1},
        {u"", 1, u'a', 0, -1, -1},
        {u"C:\\dir\\prog.exe", 1, u'\\', -1, 2, 6},
        {u"prog.exe", 1, u'\\', -1, -1, -1},
    };
    for (const auto& c : cases) {
        LString s(c.text.c_str());
        std::string label(c.text.begin(), c.text.end());
        EXPECT_EQ(s.Find(c.count, c.ch, c.start), c.forward)
            << label << " count " << c.count << " start " << c.start;
        EXPECT_EQ(s.FindReverse(c.count, c.ch, c.start), c.reverse)
            << label << " count " << c.count << " start " << c.start;
    }
}

TEST(LStringFind, ReverseFindsTheTerminatorFromTheEnd) {
    LString s(u"abc");
    EXPECT_EQ(s.FindReverse(1, 0, -1), 3);
}

TEST(LStringSlices, LeftMidRightClampTheirArguments) {
    LString s(u"186-189");
    EXPECT_EQ(Text(s.Left(3)), u"186");
    EXPECT_EQ(Text(s.Left(-1)), u"");
    EXPECT_EQ(Text(s.Left(100)), u"186-189");
    EXPECT_EQ(Text(s.Left(0)), u"");
    EXPECT_EQ(Text(s.Mid(4)), u"189");
    EXPECT_EQ(Text(s.Mid(10)), u"");
    EXPECT_EQ(Text(s.Mid(7)), u"");
    EXPECT_EQ(Text(s.Mid(-2)), u"186-189");
    EXPECT_EQ(Text(s.Mid(-2147483647 - 1)), u"186-189");
    EXPECT_EQ(Text(s.Mid(1, 2)), u"86");
    EXPECT_EQ(Text(s.Mid(5, 100)), u"89");
    EXPECT_EQ(Text(s.Mid(-3, 2)), u"18");
    EXPECT_EQ(Text(s.Mid(2, -1)), u"");
    EXPECT_EQ(Text(s.Mid(2, 2147483647)), u"6-189");
    LString abc(u"abc");
    EXPECT_EQ(Text(abc.Right(100)), u"abc");
    EXPECT_EQ(Text(abc.Right(2)), u"bc");
    EXPECT_EQ(Text(abc.Right(0)), u"");
    EXPECT_EQ(Text(abc.Right(-3)), u"");
}

TEST(LStringSlices, EmptyResultsHaveNoBufferAndSlicesAreTerminated) {
    LString s(u"186-189");
    LString empty = s.Mid(10);
    EXPECT_EQ(empty.GetSize(), 0);
    EXPECT_EQ(empty.GetCapacity(), 0);
    EXPECT_EQ(empty.GetText()[0], 0);
    LString left = s.Left(3);
    EXPECT_EQ(left.GetSize(), 4);
    EXPECT_EQ(left.GetText()[3], 0);
    EXPECT_EQ(Text(Concat(left, u"\\Kavro.xml")), u"186\\Kavro.xml");
    EXPECT_EQ(Text(Concat(left, nullptr)), u"186");
    EXPECT_EQ(Text(Concat(LString(), u"x")), u"x");
}

TEST(LStringCompareNoCase, FoldsOnlyAsciiLetters) {
    EXPECT_EQ(LString(u"abcdef").CompareNoCase(u"ABC", 3), 0);
    EXPECT_EQ(LString().CompareNoCase(u"", 5), 0);
    EXPECT_EQ(LString().CompareNoCase(nullptr, -1), 0);
    EXPECT_EQ(LString(u"abc").CompareNoCase(u"abd", 2), 0);
    EXPECT_LT(LString(u"abc").CompareNoCase(u"abd", 3), 0);
    EXPECT_GT(LString(u"abd").CompareNoCase(u"ABC", -1), 0);
    EXPECT_EQ(LString(u"C:\\PROG\\x.log").CompareNoCase(u"c:\\prog\\", 8), 0);
    EXPECT_EQ(LString(u"abc").CompareNoCase(u"xyz", 0), 0);
    EXPECT_LT(LString(u"ab").CompareNoCase(u"abc", -1), 0);  // own zero stops the compare
    EXPECT_GT(LString(u"abc").CompareNoCase(u"ab", -1), 0);
    EXPECT_LT(LString().CompareNoCase(u"a", -1), 0);
    EXPECT_NE(LString(u"\u00E4").CompareNoCase(u"\u00C4", -1), 0);  // no folding beyond A..Z
    // Unsigned 16-bit difference: a high character sorts above ASCII.
    EXPECT_EQ(LString(u"\uFFFF").CompareNoCase(u"a", -1), 0xFFFF - 'a');
}

TEST(LStringGrowth, AppendCharGrowsTheCapacityByTheIncrementRule) {
    const std::vector<int32_t> expected = {2,  6,  10, 14, 18, 22, 26, 30, 34, 38,
                                           42, 47, 52, 58, 65, 73, 82, 92, 103};
    std::vector<int32_t> seen;
    LString s;
    for (int i = 0; i < 102; ++i) {
        s.AppendChar(static_cast<LChar>(u'a' + i % 26));
        if (seen.empty() || seen.back() != s.GetCapacity()) {
            seen.push_back(s.GetCapacity());
        }
        ASSERT_EQ(s.GetSize(), s.GetLength() + 1);
        ASSERT_EQ(s.GetText()[s.GetLength()], 0);
    }
    EXPECT_EQ(seen, expected);
}

TEST(LStringGrowth, IncrementIsCappedAt1024) {
    LString s;
    s.GetBuffer(20000);
    EXPECT_EQ(s.GetCapacity(), 20001);
    s.SetSize(20002);
    EXPECT_EQ(s.GetCapacity(), 20001 + 1024);
}

TEST(LStringGrowth, BigRequestsGetExactlyOneMoreThanAsked) {
    LString s(u"ab");
    s.SetSize(100);
    EXPECT_EQ(s.GetCapacity(), 101);
}

TEST(LStringBuffer, GetBufferAndSetLengthMeasureWhatWasWritten) {
    LString s;
    LChar* buffer = s.GetBuffer(260);
    EXPECT_EQ(s.GetCapacity(), 261);
    EXPECT_EQ(s.GetSize(), 261);
    const std::u16string path = u"C:\\Program Files\\Kavro Tools\\KavroV1.exe";  // 40 characters
    ASSERT_EQ(path.size(), 40u);
    std::copy(path.begin(), path.end(), buffer);
    s.SetLength(-1);
    EXPECT_EQ(s.GetLength(), 40);
    EXPECT_EQ(s.GetSize(), 41);
    EXPECT_EQ(Text(s), path);
    // Memory beyond the text was zeroed again, so a later growth exposes nothing old.
    for (int32_t i = 41; i < s.GetCapacity(); ++i) {
        ASSERT_EQ(s.GetText()[i], 0) << i;
    }
}

TEST(LStringBuffer, SetLengthWithoutTerminatorStopsAtTheBufferEnd) {
    LString s;
    LChar* buffer = s.GetBuffer(2);
    buffer[0] = u'5';
    buffer[1] = u'4';
    buffer[2] = u'3';  // the terminator slot overwritten by a careless writer
    s.SetLength(-1);
    EXPECT_EQ(Text(s), u"54");
    EXPECT_EQ(s.GetText()[2], 0);
}

TEST(LStringBuffer, SetLengthShortensAndKeepsTheTerminator) {
    LString s(u"abcdef");
    s.SetLength(2);
    EXPECT_EQ(Text(s), u"ab");
    EXPECT_EQ(s.GetSize(), 3);
    EXPECT_EQ(s.GetText()[3], 0);
    s.SetLength(4);  // longer than the text: zeros, still terminated
    EXPECT_EQ(s.GetLength(), 4);
    EXPECT_EQ(s.GetText()[4], 0);
    LString none;
    none.SetLength(-1);
    EXPECT_EQ(none.GetSize(), 0);
}

TEST(LStringAssign, EmptyValuesReleaseTheBuffer) {
    LString s(u"abc");
    s.Assign(u"");
    EXPECT_EQ(s.GetSize(), 0);
    EXPECT_EQ(s.GetCapacity(), 0);
    s.Assign(u"xy");
    s.Assign(static_cast<const LChar*>(nullptr));
    EXPECT_EQ(s.GetCapacity(), 0);
    s.Assign(u"xy");
    s.Assign(LString());
    EXPECT_EQ(s.GetCapacity(), 0);
    EXPECT_EQ(Text(s), u"");
    s.Assign(u"xyz").Empty();
    EXPECT_EQ(s.GetCapacity(), 0);
    EXPECT_EQ(s.GetLength(), 0);
}

TEST(LStringAppend, AppendsStringsTextsAndItself) {
    LString s(u"ab");
    LString none;
    s.Append(none);
    EXPECT_EQ(Text(s), u"ab");
    EXPECT_EQ(s.GetCapacity(), 3);  // nothing was touched
    s.Append(u"cd").Append(static_cast<const LChar*>(nullptr)).Append(u"");
    EXPECT_EQ(Text(s), u"abcd");
    s.Append(LString(u"ef"));
    EXPECT_EQ(Text(s), u"abcdef");
    s.Append(s);
    EXPECT_EQ(Text(s), u"abcdefabcdef");
    EXPECT_EQ(s.GetSize(), 13);
    LString copy(s);
    EXPECT_EQ(Text(copy), u"abcdefabcdef");
    EXPECT_EQ(copy.GetCapacity(), 13);  // a copy takes exactly the in-use size
    copy = copy;
    EXPECT_EQ(Text(copy), u"abcdefabcdef");
}

TEST(LStringConstruct, FromTextAllocatesExactly) {
    LString s(u"abc");
    EXPECT_EQ(s.GetCapacity(), 4);
    EXPECT_EQ(s.GetSize(), 4);
    LString none(static_cast<const LChar*>(nullptr));
    EXPECT_EQ(none.GetCapacity(), 0);
    EXPECT_NE(none.GetText(), nullptr);
    EXPECT_EQ(none.GetText()[0], 0);
    LString first;
    first.AppendChar(u'x');
    EXPECT_EQ(first.GetCapacity(), 2);
}

TEST(LStringHeap, UsesThePrivateHeapItIsGiven) {
    LHeapHandle heap = LHeapCreate(1200);
    {
        LString s(u"on a private heap", heap);
        s.Append(u" and grown there");
        EXPECT_EQ(Text(s), u"on a private heap and grown there");
        EXPECT_EQ(Text(s.Left(4)), u"on a");  // results live on the process heap
    }
    LHeapDestroy(heap);
}

}  // namespace

// Texts taken from the string's own buffer: growing may move the buffer, and
// shrinking zeroes what lies past the new size.
TEST(LStringAliasing, AssignAndAppendReadTheirOwnTextSafely) {
    struct Case {
        const char* what;
        void (*apply)(LString&);
        std::u16string expected;
    };
    const Case cases[] = {
        {"append itself", [](LString& s) { s.Append(s.GetText()); }, u"hello worldhello world"},
        {"append its tail", [](LString& s) { s.Append(s.GetText() + 6); }, u"hello worldworld"},
        {"assign its tail", [](LString& s) { s.Assign(s.GetText() + 6); }, u"world"},
        {"assign its middle", [](LString& s) { s.Assign(s.GetText() + 3); }, u"lo world"},
        {"assign itself", [](LString& s) { s.Assign(s.GetText()); }, u"hello world"},
        {"assign its end", [](LString& s) { s.Assign(s.GetText() + 11); }, u""},
    };
    for (const auto& c : cases) {
        LString s(u"hello world");  // exactly as large as the text: an append must grow
        c.apply(s);
        EXPECT_EQ(Text(s), c.expected) << c.what;
        EXPECT_EQ(s.GetLength(), static_cast<int32_t>(c.expected.size())) << c.what;
        EXPECT_EQ(s.GetText()[s.GetLength()], 0) << c.what;
    }
}

// The size decides how much text there can be: a size that cuts into the text
// shortens it, and no size at all leaves no text to read through a null buffer.
TEST(LStringSetSize, ShrinkingCutsTheTextAndZeroReleasesIt) {
    LString s(u"186-189");
    s.SetSize(0);
    EXPECT_EQ(s.GetLength(), 0);
    EXPECT_EQ(s.Find(1, u'-', 0), -1);
    EXPECT_EQ(s.FindReverse(1, u'-', -1), -1);
    EXPECT_EQ(Text(s.Mid(1)), u"");
    EXPECT_EQ(Text(s.Left(3)), u"");
    EXPECT_EQ(Text(s.Right(3)), u"");
    EXPECT_EQ(s.ToInteger(), 0);
    EXPECT_EQ(s.CompareNoCase(u"186", -1), -static_cast<int32_t>(u'1'));

    LString t(u"186-189");
    t.SetSize(4);
    EXPECT_EQ(Text(t), u"186");
    EXPECT_EQ(t.GetSize(), 4);
    EXPECT_EQ(t.Find(1, u'-', 0), -1);
    EXPECT_EQ(Text(t.Mid(1)), u"86");
    t.AppendChar(u'!');
    EXPECT_EQ(Text(t), u"186!");
}

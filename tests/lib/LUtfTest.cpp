#include "LUtf.h"

#include <gtest/gtest.h>

namespace {

TEST(LUtf, RoundTripsEveryPlane) {
    const std::u16string text = u"Kavro \u00E4\u20AC\U0001F4BF";
    const std::string bytes = Utf8FromUtf16(text.data(), text.size());
    EXPECT_EQ(bytes, "Kavro \xC3\xA4\xE2\x82\xAC\xF0\x9F\x92\xBF");
    EXPECT_EQ(Utf16FromUtf8(bytes.c_str()), text);
}

TEST(LUtf, MalformedInputBecomesReplacementCharacters) {
    const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00};
    EXPECT_EQ(Utf8FromUtf16(lone, 4),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
    EXPECT_EQ(Utf16FromUtf8("a\xFF"
                            "b"),
              u"a\uFFFD"
              "b");
    EXPECT_EQ(Utf16FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong
    EXPECT_EQ(Utf16FromUtf8("\xE2\x82"), u"\uFFFD\uFFFD");            // cut short
    EXPECT_EQ(Utf16FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
    EXPECT_EQ(Utf16FromUtf8(nullptr), u"");
}

}  // namespace

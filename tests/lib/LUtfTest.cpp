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

// Paths keep their bytes, whatever they are; only bytes that are not UTF-8 become
// escapes, so names in UTF-8 read as their characters.
TEST(LUtf, PathBytesComeBackUnchanged) {
    const struct {
        std::string bytes;
        std::u16string path;
    } cases[] = {
        {"/opt/caf\xC3\xA9/Kavro.xml", u"/opt/caf\u00E9/Kavro.xml"},
        {"/opt/caf\xE9/Kavro.xml", u"/opt/caf\xDCE9/Kavro.xml"},  // Latin-1
        {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},                  // encoded surrogate
        {"\xF0\x90\x82\x80\xFF", u"\U00010080\xDCFF"},            // its low half is no escape
    };
    for (const auto& c : cases) {
        const std::u16string path = Utf16FromPathBytes(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(path, c.path) << c.bytes;
        EXPECT_EQ(PathBytesFromUtf16(path.c_str()), c.bytes);
    }
    // Text that never came from bytes has no bytes to go back to.
    const char16_t lone[] = {0xD800, u'a', 0xDC7F, 0};
    EXPECT_EQ(PathBytesFromUtf16(lone),
              "\xEF\xBF\xBD"
              "a\xEF\xBF\xBD");
}

}  // namespace

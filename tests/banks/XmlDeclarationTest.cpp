#include "XmlDeclaration.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "LUtf.h"

namespace {

TEST(XmlDeclarationTest, NamesUtf8WhereTheDeclarationNamedAnEncoding) {
    const std::vector<std::pair<std::u16string, std::u16string>> cases = {
        {u"version=\"1.0\" encoding=\"UTF-16\"", u"version=\"1.0\" encoding=\"UTF-8\""},
        {u"version='1.0' encoding='windows-1252' standalone='yes'",
         u"version='1.0' encoding='UTF-8' standalone='yes'"},
        {u"version=\"1.0\"\r\n  encoding = 'utf-16le'  ",
         u"version=\"1.0\"\r\n  encoding = 'UTF-8'  "},
        {u"version=\"1.0\" encoding=\"UTF-8\"", u"version=\"1.0\" encoding=\"UTF-8\""},
        // No encoding named: the file is UTF-8 already as far as the reader goes.
        {u"version=\"1.0\" standalone=\"no\"", u"version=\"1.0\" standalone=\"no\""},
        {u"version=\"1.0\"", u"version=\"1.0\""},
        // A value that holds the word is no pseudo-attribute of that name.
        {u"version='encoding=\"x\"'", u"version='encoding=\"x\"'"},
        // Not a declaration's text: left as it is.
        {u"version=1.0 encoding=\"UTF-16\"", u"version=1.0 encoding=\"UTF-16\""},
        {u"", u""},
    };
    for (const auto& [data, expected] : cases) {
        SCOPED_TRACE(Utf8FromUtf16(data.c_str(), data.size()));
        EXPECT_EQ(Utf8DeclarationData(data), expected);
    }
}

TEST(XmlDeclarationTest, OnlyUtf8BytesThatSaySoMayBeSaved) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"<CDLibraryList/>", true},
        {"<CDLibraryList note=\"Caf\xC3\xA9\"/>", true},
        {"<?xml version=\"1.0\"?>\n<CDLibraryList/>", true},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<CDLibraryList/>", true},
        {"<?xml version='1.0' encoding = 'utf-8' standalone='yes'?><a/>", true},
        {"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>", true},
        // What Wine's DOM wrote under the declarations of UTF-16 and windows-1252
        // tables: UTF-8 bytes that a reader takes for what the declaration names.
        {"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<CDLibraryList/>", false},
        {"<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<a n=\"Caf\xC3\xA9\"/>", false},
        {"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>", false},
        // Bytes in another encoding than UTF-8, whatever they say.
        {"<a n=\"Caf\xE9\"/>", false},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a n=\"\x80\"/>", false},
        {std::string("\xFF\xFE<\0a\0/\0>\0", 10), false},
        // A declaration that never ends is no file to place.
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"", false},
        // A processing instruction of another name is no declaration.
        {"<?xml-stylesheet href=\"a\" encoding=\"UTF-16\"?><a/>", true},
    };
    for (const auto& [bytes, saved] : cases) {
        SCOPED_TRACE(bytes);
        EXPECT_EQ(IsUtf8AsDeclared(bytes), saved);
    }
}

}  // namespace

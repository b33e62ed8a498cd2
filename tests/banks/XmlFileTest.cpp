#include "XmlFile.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

// U+0000 is a zero code unit of the encoding the document's first bytes show.
TEST(HoldsNullCharacter, LooksAtCodeUnitsOfTheDocumentsEncoding) {
    const struct {
        std::string bytes;
        bool holds;
    } cases[] = {
        {"<a>\x82\xA0</a>", false},            // Shift_JIS
        {"\xFE\xFF\0<\0\0\0>"s, true},         // UTF-16BE
        {"<\0?\0x\0m\0l\0 \0\0\x01"s, false},  // UTF-16LE without a mark
        {"<\0?\0x\0m\0l\0\0\0"s, true},        // the same with U+0000
        {"<\0\0\0a\0\0\0>\0\0\0"s, false},     // UTF-32LE
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HoldsNullCharacter(c.bytes), c.holds) << ::testing::PrintToString(c.bytes);
    }
}

// Counted on the bytes, in any encoding the parser tells by them: what would make
// the parser slow, or what the count cannot see into, is refused before parsing.
TEST(WithinMarkupLimits, CountsAttributesOnTheBytesBeforeParsing) {
    const auto tag = [](int attributes, const std::string& value) {
        std::string text = "<Item";
        for (int i = 0; i < attributes; ++i) {
            text += " a" + std::to_string(i) + "=\"" + value + "\"";
        }
        return text + "/>";
    };
    const auto attlist = [](int definitions) {
        std::string text = "<!DOCTYPE r [<!ATTLIST Item";
        for (int i = 0; i < definitions; ++i) {
            text += " a" + std::to_string(i) + (i % 2 == 0 ? " CDATA '1'" : " CDATA #IMPLIED");
        }
        return text + ">]><r/>";
    };
    const auto utf16 = [](const std::string& text, bool bigEndian) {
        std::string wide = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        // \x01 stands for U+2200, whose bytes hold a quotation mark.
        for (char ch : text) {
            const std::string unit =
                ch == '\x01' ? std::string{'\x22', '\0'} : std::string{'\0', ch};
            wide += bigEndian ? unit : std::string{unit[1], unit[0]};
        }
        return wide;
    };
    const struct {
        std::string bytes;
        bool within;
    } cases[] = {
        {"<r>" + tag(256, "1") + "</r>", true},
        {"<r>" + tag(257, "1") + "</r>", false},
        {utf16("<r>" + tag(257, "1") + "</r>", false), false},
        {utf16("<r>" + tag(257, "1") + "</r>", true), false},
        // Equals signs and '>' inside values, comments, CDATA and instructions are none.
        {"<r a='=>=' b=\"'\"><!--" + tag(300, "1") + "--><![CDATA[" + tag(300, "1") + "]]><?pi " +
             tag(300, "1") + "?></r>",
         true},
        // A character outside ASCII in a value does not hide the attributes after it.
        {utf16("<r>" + tag(256, "\x01") + "</r>", false), true},
        {utf16("<r>" + tag(257, "\x01") + "</r>", false), false},
        {utf16("<r>" + tag(257, "\x01") + "</r>", true), false},
        {attlist(256), true},
        {attlist(257), false},
        {"<!DOCTYPE r [<!ENTITY % p 'x'> %p;]><r/>", false},
        {"<?xml version='1.0' encoding='Shift_JIS'?><r a='\x82\xA0'/>", true},
        {"<?xml version=\"1.0\" encoding=\"windows-1252\"?><r/>", true},
        {"<?xml version='1.0' encoding='UTF-7'?><r/>", false},
        {"\x4C\x6F\xA7\x94\x93\x40", false},  // EBCDIC: no markup to count
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WithinMarkupLimits(c.bytes), c.within)
            << ::testing::PrintToString(c.bytes.substr(0, 80));
    }
}

}  // namespace

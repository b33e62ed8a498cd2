#include "XmlMarkupLimits.h"

#include <gtest/gtest.h>

#include <string>

#include "ComApartment.h"

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

// The encodings' names are the platform's to know (MLang, through COM, on Windows).
class MarkupLimitsTest : public ::testing::Test {
protected:
    ComApartment com_;
};

std::string Tag(int attributes, const std::string& value = "1") {
    std::string text = "<Item";
    for (int i = 0; i < attributes; ++i) {
        text += " a" + std::to_string(i) + "=\"" + value + "\"";
    }
    return text + "/>";
}

std::string Repeated(const std::string& text, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i) {
        repeated += text;
    }
    return repeated;
}

std::string Utf16Le(const std::string& ascii) {
    std::string wide;
    for (char ch : ascii) {
        wide += std::string{ch, '\0'};
    }
    return wide;
}

// Counted on the bytes, in any encoding the parser tells by them: what would make
// the parser slow, or what the count cannot see into, is refused before parsing.
TEST_F(MarkupLimitsTest, CountsAttributesOnTheBytesBeforeParsing) {
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

// The count reads the characters the parser reads: the first bytes and the
// declaration must agree on the encoding, and a declared one is converted as the
// parser converts it.
TEST_F(MarkupLimitsTest, ReadsTheEncodingTheParserReads) {
    const std::string mark16 = "\xFF\xFE";
    const auto declared16 = [&](const std::string& encoding) {
        return mark16 + Utf16Le("<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>");
    };
    const std::string sjis = "<?xml version='1.0' encoding='Shift_JIS'?>";
    const struct {
        std::string bytes;
        bool within;
    } cases[] = {
        // A mark of UTF-16 and a one-byte encoding declared: the parsers switch to it.
        {declared16("windows-1252") + "<r>" + Tag(300) + "</r>", false},
        {declared16("UTF-16") + Utf16Le("<r/>"), true},
        {declared16("utf-16le") + Utf16Le("<r/>"), true},
        {declared16("UTF-16BE") + Utf16Le("<r/>"), false},
        {declared16("UTF-8") + Utf16Le("<r/>"), false},
        {"\xEF\xBB\xBF<?xml version='1.0' encoding='ISO-8859-1'?><r a='\xE9'/>", false},
        {"\xEF\xBB\xBF<?xml version='1.0' encoding='utf-8'?><r/>", true},
        {"<?xml version='1.0' encoding='UTF-16'?><r/>", false},
        {"\xFF\xFE\0\0<\0\0\0r\0\0\0/\0\0\0>\0\0\0"s, false},  // UTF-32: no parser's
        // One-byte encodings the platform converts, whatever list a parser has.
        {"<?xml version='1.0' encoding='IBM437'?><r a='\x82'/>", true},
        {"<?xml version='1.0' encoding='cp866'?><r a='\x86'/>", true},
        {"<?xml version='1.0' encoding='macintosh'?><r a='\x8E'/>", true},
        {"<?xml version='1.0' encoding='x-no-such-encoding'?><r/>", false},
        // The second byte of a Shift_JIS character may be ']': it ends no CDATA
        // section, and the attributes after the true end are counted.
        {sjis + "<r><![CDATA[\x81\x5D]><a \"]]>" + Tag(257) + "<b c=\"\"/></r>", false},
        {sjis + "<r><![CDATA[\x81\x5D]><a \"]]>" + Tag(256) + "<b c=\"\"/></r>", true},
        // Declarations that no parser reads.
        {"<?xml encoding='UTF-8'?><r/>", false},
        {"<?xml version='1.0' encoding='UTF 8'?><r/>", false},
        {"<?xml version='1.0' standalone='yes' encoding='UTF-8'?><r/>", false},
        {"<?xml version='1.0' encoding='UTF-8' standalone='yes' ?><r/>", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WithinMarkupLimits(c.bytes), c.within)
            << ::testing::PrintToString(c.bytes.substr(0, 80));
    }
}

// What an entity stands for is text: markup in it, written out or as a character
// reference, is refused, since the parser would build it at each reference.
TEST_F(MarkupLimitsTest, EntitiesStandForTextOnly) {
    const auto declaring = [](const std::string& declaration) {
        return "<!DOCTYPE r [" + declaration + "]><r>&e;</r>";
    };
    const struct {
        std::string bytes;
        bool within;
    } cases[] = {
        {declaring("<!ENTITY e 'text &lt;b&gt; &#233; &#x41;'>"), true},
        {declaring("<!ENTITY e '" + Tag(300) + "'>"), false},
        {declaring("<!ENTITY e '&#60;b/>'>"), false},
        {declaring("<!ENTITY e '&#x3c;b/>'>"), false},
        {declaring("<!ENTITY e '&#38;f;'><!ENTITY f '<b/>'>"), false},
        {declaring("<!ENTITY e '&f;'><!ENTITY f 'text'>"), true},
        {declaring("<!ENTITY e '&f;'><!ENTITY f '<b/>'>"), false},
        {declaring("<!ENTITY e SYSTEM 'e.xml'>"), true},  // never read
        // The predefined entities may be declared only as XML has them.
        {declaring("<!ENTITY lt '&#38;#60;'><!ENTITY e '&lt;'>"), true},
        {declaring("<!ENTITY gt '>'><!ENTITY amp '&#38;#38;'><!ENTITY e 'x'>"), true},
        {declaring("<!ENTITY quot '&#34;'><!ENTITY apos \"'\"><!ENTITY e 'x'>"), true},
        {declaring("<!ENTITY lt '&#60;'><!ENTITY e '&lt;'>"), false},
        {declaring("<!ENTITY gt 'big'><!ENTITY e '&gt;'>"), false},
        {declaring("<!ENTITY e '&e;'>"), false},  // itself, for ever
        {declaring("<!ENTITY e '&f;'><!ENTITY f '&e;'>"), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WithinMarkupLimits(c.bytes), c.within)
            << ::testing::PrintToString(c.bytes.substr(0, 80));
    }
}

// All references together stand for at most kMostXmlEntityText characters, an
// entity's own references multiplied out.
TEST_F(MarkupLimitsTest, CountsTheTextEntitiesStandFor) {
    const auto nested = [](int levels, const std::string& use) {
        std::string file = "<!DOCTYPE r [<!ENTITY e0 '1111'>";
        for (int level = 1; level <= levels; ++level) {
            const std::string below = "&e" + std::to_string(level - 1) + ";";
            file += "<!ENTITY e" + std::to_string(level) + " '" + Repeated(below, 4) + "'>";
        }
        return file + "]>" + use;
    };
    const auto large = [](const std::string& more) {
        return "<!DOCTYPE r [<!ENTITY e '" + std::string(1024, 'x') + "'>" + more + "]>";
    };
    const struct {
        std::string bytes;
        bool within;
    } cases[] = {
        // 4 to the 10th: the limit.
        {nested(9, "<r a='&e9;'/>"), true},
        {nested(10, "<r a='&e10;'/>"), false},
        {nested(9, "<r>&e9;</r>"), true},
        {nested(9, "<r>&e9;&e0;</r>"), false},
        {nested(9, "<r a='&e9;' b='&e0;'/>"), false},
        // Declared, never referred to: no text.
        {nested(20, "<r/>"), true},
        {large("") + "<r a='" + Repeated("&e;", 1024) + "'/>", true},
        {large("") + "<r a='" + Repeated("&e;", 1024) + "x'/>", true},
        {large("") + "<r a='" + Repeated("&e;", 1025) + "'/>", false},
        {large("") + "<r>" + Repeated("<i a='&e;'/>", 1025) + "</r>", false},
        // What attribute-list declarations add to each element counts too.
        {large("<!ATTLIST i a CDATA '&e;'>") + "<r>" + Repeated("<i/>", 1024) + "</r>", true},
        {large("<!ATTLIST i a CDATA '&e;'>") + "<r>" + Repeated("<i/>", 1025) + "</r>", false},
        {"<!DOCTYPE r [<!ENTITY e '" + std::string(kMostXmlEntityText + 1, 'x') + "'>]><r>&e;</r>",
         false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WithinMarkupLimits(c.bytes), c.within)
            << ::testing::PrintToString(c.bytes.substr(0, 80));
    }
}

// Each node costs the parsers' trees memory and time: elements, attributes (those a
// declaration adds to each element included), comments, instructions, CDATA and
// entity references count. Elements nest at most as deep as the parsers allow.
TEST_F(MarkupLimitsTest, CountsNodesAndDepth) {
    const std::string defaults = "<!DOCTYPE r [<!ATTLIST i a CDATA '1' b CDATA #FIXED '2'>]>";
    const std::string entity = "<!DOCTYPE r [<!ENTITY e 'x'>]>";
    const std::string referring = "<!DOCTYPE r [<!ENTITY e ''><!ATTLIST i a CDATA '&e;&e;&e;'>]>";
    const auto nested = [](int depth) { return Repeated("<a>", depth) + Repeated("</a>", depth); };
    const struct {
        std::string bytes;
        bool within;
    } cases[] = {
        {"<r>" + Repeated("<!---->", kMostXmlNodes - 1) + "</r>", true},
        {"<r>" + Repeated("<!---->", kMostXmlNodes) + "</r>", false},
        {"<r>" + Repeated("<?pi?><![CDATA[]]>", kMostXmlNodes / 2) + "</r>", false},
        {"<r>" + Repeated("<i a='1' b='2'/>", (kMostXmlNodes - 1) / 3) + "</r>", true},
        {"<r>" + Repeated("<i a='1' b='2'/>", (kMostXmlNodes - 1) / 3 + 1) + "</r>", false},
        {defaults + "<r>" + Repeated("<i/>", (kMostXmlNodes - 1) / 3) + "</r>", true},
        {defaults + "<r>" + Repeated("<i/>", (kMostXmlNodes - 1) / 3 + 1) + "</r>", false},
        {defaults + "<r>" + Repeated("<j/>", (kMostXmlNodes - 1) / 3 + 1) + "</r>", true},
        // Each reference in a default value is a node of every element that takes it.
        {referring + "<r>" + Repeated("<i/>", (kMostXmlNodes - 1) / 5) + "</r>", true},
        {referring + "<r>" + Repeated("<i/>", (kMostXmlNodes - 1) / 5 + 1) + "</r>", false},
        {entity + "<r>" + Repeated("&e;", kMostXmlNodes - 1) + "</r>", true},
        {entity + "<r>" + Repeated("&e;", kMostXmlNodes) + "</r>", false},
        {entity + "<r a='" + Repeated("&e;", kMostXmlNodes) + "'/>", false},
        {"<r>" + Repeated("&#65;&lt;", kMostXmlNodes) + "</r>", true},  // text alone
        {nested(kLargestXmlDepth), true},
        {nested(kLargestXmlDepth + 1), false},
        {"<r>" + Repeated("<a/>", kLargestXmlDepth * 2) + "</r>", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WithinMarkupLimits(c.bytes), c.within)
            << ::testing::PrintToString(c.bytes.substr(0, 80));
    }
}

}  // namespace

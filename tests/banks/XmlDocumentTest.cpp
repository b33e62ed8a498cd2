#include "XmlDocument.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ComApartment.h"
#include "LUtf.h"
#include "XmlMarkupLimits.h"

using ::testing::AnyOf;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::Eq;

namespace {
using Items = std::vector<std::pair<int32_t, int32_t>>;

// What each platform's writer puts in the file for the two-item table: libxml2
// on Linux, and the DOM of Wine under the Windows build.
const char kLinuxTwoItems[] =
    R"(<CDLibraryList><Item ID="0" Bank="1"/><Item ID="1" Bank="2"/></CDLibraryList>)";
const char kWineDomTwoItems[] =
    "<CDLibraryList><Item ID=\"0\" Bank=\"1\"/><Item ID=\"1\" Bank=\"2\"/></CDLibraryList>\n";

std::string Narrow(const LString& text) {
    return Utf8FromUtf16(text.GetText(), static_cast<std::size_t>(text.GetLength()));
}

// A file of the bank table as either platform's writer makes it (see the two-item
// table above): no declaration, and nothing or one LF after the root element.
::testing::Matcher<std::string> IsCompactFile(const std::string& xml) {
    return AnyOf(Eq(xml), Eq(xml + "\n"));
}

std::string ItemText(int32_t id, int32_t bank) {
    return "<Item ID=\"" + std::to_string(id) + "\" Bank=\"" + std::to_string(bank) + "\"/>";
}

std::string TableText(const Items& items) {
    std::string xml = "<CDLibraryList>";
    for (const auto& [id, bank] : items) {
        xml += ItemText(id, bank);
    }
    return xml + "</CDLibraryList>";
}

void AppendItem(XmlDocument& document, XmlElement& root, int32_t id, int32_t bank) {
    XmlElement item = document.CreateElement(u"Item");
    ASSERT_FALSE(item.IsNull());
    item.SetAttribute(u"ID", id);
    item.SetAttribute(u"Bank", bank);
    root.AppendChild(item);
}

// Each child node of the root: "null" for a node that is no element, else its ID
// and Bank texts, "-" for an absent attribute.
std::vector<std::string> Children(const XmlDocument& document) {
    std::vector<std::string> children;
    XmlElement root = document.DocumentElement();
    if (root.IsNull()) {
        children.push_back("no root");
        return children;
    }
    XmlChildren walk(root);
    XmlElement child;
    while (walk.Next(child)) {
        if (child.IsNull()) {
            children.push_back("null");
            continue;
        }
        LString id;
        LString bank;
        std::string idText = child.GetAttribute(u"ID", id) ? Narrow(id) : "-";
        std::string bankText = child.GetAttribute(u"Bank", bank) ? Narrow(bank) : "-";
        children.push_back(idText + ":" + bankText);
    }
    return children;
}

// A text of characters below U+0100 and the euro sign, in windows-1252 (which has
// the euro sign at 0x80) and in ISO-8859-1.
std::string SingleBytes(const std::u16string& text) {
    std::string bytes;
    for (char16_t c : text) {
        bytes += c == u'\u20AC' ? '\x80' : static_cast<char>(c);
    }
    return bytes;
}

// A text in UTF-16 with its byte order mark.
std::string Utf16(const std::u16string& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        const char high = static_cast<char>(c >> 8);
        const char low = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

std::string Utf8(const std::u16string& text) {
    return Utf8FromUtf16(text.c_str(), text.size());
}

class XmlDocumentTest : public ::testing::Test {
protected:
    // The table's bytes as the document writes them; "not written" when it cannot.
    static std::string TableBytes(const Items& items) {
        XmlDocument document;
        if (!document.Create()) {
            ADD_FAILURE() << "no XML document";
            return "not written";
        }
        XmlElement root = document.CreateElement(u"CDLibraryList");
        document.AppendChild(root);
        for (const auto& [id, bank] : items) {
            AppendItem(document, root, id, bank);
        }
        std::string bytes;
        return document.ToBytes(bytes) ? bytes : "not written";
    }

    // The bytes loaded, with the Item (1, 2) appended, as the document writes them;
    // false when a step fails.
    static bool Extended(const std::string& bytes, std::string& saved) {
        XmlDocument document;
        if (!document.Create() || !document.FromBytes(bytes)) {
            return false;
        }
        XmlElement root = document.DocumentElement();
        AppendItem(document, root, 1, 2);
        return document.ToBytes(saved);
    }

    static std::vector<std::string> LoadChildren(const std::string& bytes) {
        XmlDocument document;
        if (!document.Create() || !document.FromBytes(bytes)) {
            return {"not loaded"};
        }
        return Children(document);
    }

    ComApartment com_;
};

TEST_F(XmlDocumentTest, WritesTheCompactFormAndReadsItBack) {
    const std::vector<Items> tables = {
        {{0, 1}, {1, 2}},
        {{-3, -1}},
        {{INT32_MIN, INT32_MAX}},
        {},
    };
    for (const Items& items : tables) {
        SCOPED_TRACE(TableText(items));
        const std::string bytes = TableBytes(items);
        if (items.empty()) {
            // An empty root may be written as <CDLibraryList/>.
            EXPECT_THAT(bytes,
                        AnyOf(IsCompactFile(TableText(items)), IsCompactFile("<CDLibraryList/>")));
        } else {
            EXPECT_THAT(bytes, IsCompactFile(TableText(items)));
        }
        std::vector<std::string> expected;
        for (const auto& [id, bank] : items) {
            expected.push_back(std::to_string(id) + ":" + std::to_string(bank));
        }
        EXPECT_THAT(LoadChildren(bytes), ElementsAreArray(expected));
    }
}

TEST_F(XmlDocumentTest, ReadsFilesOfEitherWriterAndOfOtherShapes) {
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> children;
    };
    const std::vector<Case> cases = {
        {"the Linux file", kLinuxTwoItems, {"0:1", "1:2"}},
        {"the DOM's file", kWineDomTwoItems, {"0:1", "1:2"}},
        {"indented, with a declaration and line breaks",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<CDLibraryList>\r\n"
         "  <Item ID=\"4\" Bank=\"7\" />\n\t<Item Bank=\"8\" ID=\"5\"></Item>\n"
         "</CDLibraryList>\n",
         {"4:7", "5:8"}},
        {"other names",
         "<Banks><Device ID=\"2\" Bank=\"3\"/><x ID=\"9\" Bank=\"1\"/></Banks>",
         {"2:3", "9:1"}},
        {"nodes that are no elements",
         "<CDLibraryList><!-- note --><Item ID=\"1\" Bank=\"1\"/><?tool x?>text"
         "<Item ID=\"2\" Bank=\"2\"/></CDLibraryList>",
         {"null", "1:1", "null", "null", "2:2"}},
        {"missing attributes",
         "<CDLibraryList><Item ID=\"6\"/><Item Bank=\"3\"/><Item/></CDLibraryList>",
         {"6:-", "-:3", "-:-"}},
        {"values as written, not as numbers",
         "<CDLibraryList><Item ID=\" 007\" Bank=\"&#x31;2x\"/></CDLibraryList>",
         {" 007:12x"}},
        {"an empty root", "<CDLibraryList/>", {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_THAT(LoadChildren(test.bytes), ElementsAreArray(test.children));
    }
}

TEST_F(XmlDocumentTest, LoadFailsForMalformedFiles) {
    const std::vector<std::pair<const char*, const char*>> files = {
        {"empty", ""},
        {"unclosed element", "<CDLibraryList><Item ID=\"0\" Bank=\"1\"></CDLibraryList>"},
        {"unquoted value", "<CDLibraryList><Item ID=0 Bank=1/></CDLibraryList>"},
        {"two roots", "<a/><b/>"},
        {"text beside the root", "<CDLibraryList/>text"},
        {"attribute given twice", "<CDLibraryList><Item ID=\"0\" ID=\"1\"/></CDLibraryList>"},
        {"declaration only", "<?xml version=\"1.0\"?>"},
    };
    for (const auto& [what, bytes] : files) {
        SCOPED_TRACE(what);
        EXPECT_THAT(LoadChildren(bytes), ElementsAre("not loaded"));
    }
    EXPECT_THAT(LoadChildren(std::string(kLargestXmlFile - 15, ' ') + "<CDLibraryList/>"),
                ElementsAre("not loaded"));
}

// The load pass of the program: read the file, append the new devices, drop an
// Item, write it out again.
TEST_F(XmlDocumentTest, ChangesALoadedDocumentAndWritesItOut) {
    XmlDocument document;
    ASSERT_TRUE(document.Create());
    ASSERT_TRUE(
        document.FromBytes("<CDLibraryList>\n  <Item ID=\"0\" Bank=\"1\"/><Item ID=\"7\" "
                           "Bank=\"2\"/>\n</CDLibraryList>\n"));
    XmlElement root = document.DocumentElement();
    ASSERT_FALSE(root.IsNull());
    AppendItem(document, root, 5, 2);
    AppendItem(document, root, 6, 3);
    // Made but never appended: not part of the file.
    XmlElement stray = document.CreateElement(u"Item");
    stray.SetAttribute(u"ID", 99);
    // Taken out: one read from the file, one appended; and one held by nobody else.
    XmlChildren walk(root);
    XmlElement first;
    XmlElement second;
    ASSERT_TRUE(walk.Next(first) && walk.Next(second));
    root.RemoveChild(second);
    XmlElement last = document.CreateElement(u"Item");
    root.AppendChild(last);
    root.RemoveChild(last);
    root.RemoveChild(stray);  // no child of the root: nothing happens

    std::string bytes;
    ASSERT_TRUE(document.ToBytes(bytes));
    EXPECT_THAT(bytes, IsCompactFile(TableText({{0, 1}, {5, 2}, {6, 3}})));
    second.SetAttribute(u"Bank", 4);  // still held, and harmless
}

// A value given through an entity stays readable once the file has been extended:
// the declaration is written back with the document.
TEST_F(XmlDocumentTest, ExtendingAFileKeepsTheEntitiesItDeclares) {
    std::string bytes;
    ASSERT_TRUE(
        Extended("<!DOCTYPE CDLibraryList [<!ENTITY two \"2\">]>\n"
                 "<CDLibraryList><Item ID=\"0\" Bank=\"&two;\"/></CDLibraryList>",
                 bytes));
    EXPECT_THAT(LoadChildren(bytes), ElementsAre("0:2", "1:2"));
}

// A table read from a file, in whatever encoding that file declares, is written in
// UTF-8, with a declaration, if the file had one, that says so and keeps its version
// and standalone: it reads back with the new Item and every character as it was.
TEST_F(XmlDocumentTest, ATableIsSavedInTheEncodingItsDeclarationNames) {
    const std::u16string euro = u"Caf\u00E9 \u20AC";
    const std::u16string latin = u"Caf\u00E9 \u00FC";
    const std::u16string wide = euro + u" \U0001D11E";
    auto table = [](const std::u16string& declaration, const std::u16string& note) {
        return declaration + u"<CDLibraryList note=\"" + note + u"\"><!-- " + note +
               u" --><Item ID=\"0\" Bank=\"1\"/></CDLibraryList>";
    };
    const std::u16string utf16 = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n";
    const char kSaysUtf8[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    struct Case {
        const char* what;
        std::string bytes;
        std::u16string note;
        std::string declaration;  // the saved file's, "" for none
    };
    const std::vector<Case> cases = {
        {"UTF-16, little-endian", Utf16(table(utf16, wide), false), wide, kSaysUtf8},
        {"UTF-16, big-endian", Utf16(table(utf16, wide), true), wide, kSaysUtf8},
        {"UTF-16LE", Utf16(table(u"<?xml version=\"1.0\" encoding=\"UTF-16LE\"?>", wide), false),
         wide, kSaysUtf8},
        {"UTF-16BE", Utf16(table(u"<?xml version=\"1.0\" encoding=\"UTF-16BE\"?>", wide), true),
         wide, kSaysUtf8},
        {"UTF-16 without a declaration", Utf16(table(u"", wide), false), wide, ""},
        {"UTF-8 with a byte order mark",
         "\xEF\xBB\xBF" + Utf8(table(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", wide)), wide,
         kSaysUtf8},
        {"UTF-8, standalone, no encoding named",
         Utf8(table(u"<?xml version='1.0' standalone='yes'?>\n", euro)), euro,
         "<?xml version=\"1.0\" standalone=\"yes\"?>"},
        {"windows-1252",
         SingleBytes(table(
             u"<?xml version=\"1.0\" encoding=\"windows-1252\" standalone=\"no\"?>\r\n", euro)),
         euro, "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>"},
        {"ISO-8859-1",
         SingleBytes(table(u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", latin)), latin,
         kSaysUtf8},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        std::string saved;
        if (!Extended(test.bytes, saved)) {
            ADD_FAILURE() << "not loaded or not written";
            continue;
        }

        const std::string start = test.declaration.empty() ? "<CDLibraryList" : test.declaration;
        EXPECT_EQ(saved.rfind(start, 0), 0u) << saved;
        EXPECT_NE(saved.find("<!-- " + Utf8(test.note) + " -->"), std::string::npos) << saved;
        XmlDocument reread;
        EXPECT_TRUE(reread.Create() && reread.FromBytes(saved)) << saved;
        EXPECT_THAT(Children(reread), ElementsAre("null", "0:1", "1:2"));
        LString note;
        EXPECT_TRUE(reread.DocumentElement().GetAttribute(u"note", note));
        EXPECT_EQ(Narrow(note), Utf8(test.note));
    }
}

TEST_F(XmlDocumentTest, NullElementsAndAnUncreatedDocumentDoNothing) {
    XmlElement none;
    EXPECT_TRUE(none.IsNull());
    none.SetAttribute(u"ID", 1);
    LString value(u"kept");
    EXPECT_FALSE(none.GetAttribute(u"ID", value));
    EXPECT_EQ(Narrow(value), "kept");
    XmlElement child;
    XmlChildren walk(none);
    EXPECT_FALSE(walk.Next(child));

    XmlDocument document;
    EXPECT_TRUE(document.CreateElement(u"Item").IsNull());
    EXPECT_TRUE(document.DocumentElement().IsNull());
    std::string bytes;
    EXPECT_FALSE(document.ToBytes(bytes));
    EXPECT_FALSE(document.FromBytes(kLinuxTwoItems));
}
}  // namespace

#include "XmlDocument.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ComApartment.h"
#include "LUtf.h"
#include "XmlFile.h"

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
    XmlDocument document;
    ASSERT_TRUE(document.Create());
    ASSERT_TRUE(
        document.FromBytes("<!DOCTYPE CDLibraryList [<!ENTITY two \"2\">]>\n"
                           "<CDLibraryList><Item ID=\"1\" Bank=\"&two;\"/></CDLibraryList>"));
    XmlElement root = document.DocumentElement();
    AppendItem(document, root, 5, 3);
    std::string bytes;
    ASSERT_TRUE(document.ToBytes(bytes));
    EXPECT_THAT(LoadChildren(bytes), ElementsAre("1:2", "5:3"));
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

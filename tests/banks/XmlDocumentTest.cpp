#include "XmlDocument.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "LUtf.h"
#include "TempFolder.h"
#include "banks/ComForTests.h"

namespace fs = std::filesystem;
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

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
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
    void SetUp() override { ASSERT_FALSE(folder_.empty()); }

    fs::path File(const char* name) const { return folder_ / name; }

    static std::u16string PathText(const fs::path& path) { return path.u16string(); }

    static bool SaveTable(const fs::path& path, const Items& items) {
        XmlDocument document;
        if (!document.Create()) {
            ADD_FAILURE() << "no XML document";
            return false;
        }
        XmlElement root = document.CreateElement(u"CDLibraryList");
        document.AppendChild(root);
        for (const auto& [id, bank] : items) {
            AppendItem(document, root, id, bank);
        }
        return document.Save(PathText(path).c_str(), FilePlacement::kReplace);
    }

    static std::vector<std::string> LoadChildren(const fs::path& path) {
        XmlDocument document;
        if (!document.Create() || !document.Load(PathText(path).c_str())) {
            return {"not loaded"};
        }
        return Children(document);
    }

    ComForTests com_;
    TempFolder temp_{"kavro-xml-"};
    const fs::path& folder_ = temp_.Path();
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
        fs::path path = File("Kavro.xml");
        ASSERT_TRUE(SaveTable(path, items));
        std::string bytes = ReadBytes(path);
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
        EXPECT_THAT(LoadChildren(path), ElementsAreArray(expected));
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
        fs::path path = File("in.xml");
        WriteBytes(path, test.bytes);
        EXPECT_THAT(LoadChildren(path), ElementsAreArray(test.children));
    }
}

TEST_F(XmlDocumentTest, LoadFailsForMissingAndMalformedFiles) {
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
        fs::path path = File("bad.xml");
        WriteBytes(path, bytes);
        EXPECT_THAT(LoadChildren(path), ElementsAre("not loaded"));
    }
    EXPECT_THAT(LoadChildren(File("missing.xml")), ElementsAre("not loaded"));
}

// The load pass of the program: read the file, append the new devices, save.
TEST_F(XmlDocumentTest, AppendsToALoadedDocumentAndReplacesTheFile) {
    fs::path path = File("Kavro.xml");
    WriteBytes(path, "<CDLibraryList>\n  <Item ID=\"0\" Bank=\"1\"/>\n</CDLibraryList>\n");
    XmlDocument document;
    ASSERT_TRUE(document.Create());
    ASSERT_TRUE(document.Load(PathText(path).c_str()));
    XmlElement root = document.DocumentElement();
    ASSERT_FALSE(root.IsNull());
    AppendItem(document, root, 5, 2);
    AppendItem(document, root, 6, 3);
    // Made but never appended: not part of the file.
    XmlElement stray = document.CreateElement(u"Item");
    stray.SetAttribute(u"ID", 99);

    ASSERT_TRUE(document.Save(PathText(path).c_str(), FilePlacement::kReplace));
    EXPECT_THAT(ReadBytes(path), IsCompactFile(TableText({{0, 1}, {5, 2}, {6, 3}})));
    EXPECT_FALSE(fs::exists(fs::path(TemporaryFileName(PathText(path).c_str(), 0))));
}

// A value given through an entity stays readable once the file has been extended:
// the declaration is written back with the document.
TEST_F(XmlDocumentTest, ExtendingAFileKeepsTheEntitiesItDeclares) {
    fs::path path = File("Kavro.xml");
    WriteBytes(path,
               "<!DOCTYPE CDLibraryList [<!ENTITY two \"2\">]>\n"
               "<CDLibraryList><Item ID=\"1\" Bank=\"&two;\"/></CDLibraryList>");
    XmlDocument document;
    ASSERT_TRUE(document.Create());
    ASSERT_TRUE(document.Load(PathText(path).c_str()));
    XmlElement root = document.DocumentElement();
    AppendItem(document, root, 5, 3);
    ASSERT_TRUE(document.Save(PathText(path).c_str(), FilePlacement::kReplace));
    EXPECT_THAT(LoadChildren(path), ElementsAre("1:2", "5:3"));
}

TEST_F(XmlDocumentTest, SavesAndLoadsBelowAFolderDeeperThanMaxPath) {
    const fs::path deep = DeepFolder(folder_, 300);
    ASSERT_FALSE(deep.empty());
    ASSERT_TRUE(SaveTable(deep / "Kavro.xml", {{0, 1}, {1, 2}}));
    EXPECT_THAT(ReadBytes(deep / "Kavro.xml"), IsCompactFile(TableText({{0, 1}, {1, 2}})));
    EXPECT_THAT(LoadChildren(deep / "Kavro.xml"), ElementsAre("0:1", "1:2"));
    EXPECT_FALSE(fs::exists(fs::path(TemporaryFileName(PathText(deep / "Kavro.xml").c_str(), 0))));
}

TEST_F(XmlDocumentTest, SaveFailsWithoutAFolder) {
    fs::path path = folder_ / "missing" / "Kavro.xml";
    EXPECT_FALSE(SaveTable(path, {{0, 1}}));
    EXPECT_FALSE(fs::exists(folder_ / "missing"));
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
    EXPECT_FALSE(document.Save(PathText(File("Kavro.xml")).c_str(), FilePlacement::kReplace));
    EXPECT_FALSE(fs::exists(File("Kavro.xml")));
}
}  // namespace

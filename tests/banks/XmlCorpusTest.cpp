#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ComApartment.h"
#include "FileBytes.h"
#include "TempFolder.h"
#include "XmlDeclaration.h"
#include "XmlDocument.h"
#include "XmlMarkupLimits.h"
#include "banks/BuildName.h"

// The shared corpus of bank table files (tests/data, the test's working folder): each
// file is read as the program reads it, and the reading must be the one its manifest
// gives, on both builds.
namespace {
namespace fs = std::filesystem;

const char kManifest[] = "manifest.txt";

// "refused", "none", or the Items as ID:Bank pairs.
std::string Reading(const std::string& bytes) {
    XmlDocument document;
    if (!document.Create()) {
        return "no XML document";
    }
    if (!document.FromBytes(bytes)) {
        return "refused";
    }
    std::string pairs;
    XmlChildren children(document.DocumentElement());
    XmlElement item;
    while (children.Next(item)) {
        LString id;
        LString bank;
        if (!item.IsNull() && item.GetAttribute(u"ID", id) && item.GetAttribute(u"Bank", bank)) {
            pairs += (pairs.empty() ? "" : " ") + std::to_string(id.ToInteger()) + ":" +
                     std::to_string(bank.ToInteger());
        }
    }
    return pairs.empty() ? "none" : pairs;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    const auto last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// The manifest's reading of each file for this build.
std::map<std::string, std::string> ReadManifest(const fs::path& path) {
    std::map<std::string, std::string> common;
    std::map<std::string, std::string> ours;
    const std::string tag = std::string(" [") + kBuildName + "]";
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const auto colon = line.find(':');
        if (Trimmed(line).empty() || line[0] == '#' || colon == std::string::npos) {
            continue;
        }
        std::string name = Trimmed(line.substr(0, colon));
        const std::string reading = Trimmed(line.substr(colon + 1));
        const auto bracket = name.find(" [");
        if (bracket == std::string::npos) {
            common[name] = reading;
        } else if (name.substr(bracket) == tag) {
            ours[name.substr(0, bracket)] = reading;
        }
    }
    for (const auto& [name, reading] : ours) {
        common[name] = reading;
    }
    return common;
}

class XmlCorpusTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(corpus_ / kManifest))
            << "run from the corpus folder, not from " << corpus_;
    }

    ComApartment com_;
    const fs::path corpus_ = fs::current_path();
};

TEST_F(XmlCorpusTest, EveryFileReadsAsItsManifestSays) {
    const auto manifest = ReadManifest(corpus_ / kManifest);
    ASSERT_FALSE(manifest.empty());
    for (const auto& [name, expected] : manifest) {
        EXPECT_EQ(Reading(ReadBytes(corpus_ / name)), expected) << name;
    }
}

// A table that loads can be saved, whatever its encoding or its declarations: the
// document read, with an Item appended, is written in UTF-8 as it says, and reads
// back with the same Items and the new one.
TEST_F(XmlCorpusTest, EveryFileThatReadsIsSavedSoThatItReadsTheSame) {
    for (const auto& [name, expected] : ReadManifest(corpus_ / kManifest)) {
        if (expected == "refused") {
            continue;
        }
        SCOPED_TRACE(name);
        XmlDocument document;
        ASSERT_TRUE(document.Create());
        ASSERT_TRUE(document.FromBytes(ReadBytes(corpus_ / name)));
        XmlElement root = document.DocumentElement();
        XmlElement item = document.CreateElement(u"Item");
        item.SetAttribute(u"ID", 99);
        item.SetAttribute(u"Bank", 9);
        root.AppendChild(item);
        std::string saved;
        ASSERT_TRUE(document.ToBytes(saved));
        EXPECT_TRUE(IsUtf8AsDeclared(saved)) << saved;
        EXPECT_EQ(Reading(saved), expected == "none" ? "99:9" : expected + " 99:9") << saved;
    }
}

TEST_F(XmlCorpusTest, TheManifestNamesEveryFileOfTheCorpus) {
    std::set<std::string> files;
    for (const auto& entry : fs::directory_iterator(corpus_)) {
        if (entry.path().extension() == ".xml") {
            files.insert(entry.path().filename().string());
        }
    }
    std::set<std::string> listed;
    for (const auto& [name, reading] : ReadManifest(corpus_ / kManifest)) {
        listed.insert(name);
    }
    EXPECT_EQ(files, listed);
}

// Files too large to keep in the repository, made here.
class GeneratedCorpusTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(folder_.Path().empty()); }

    std::string ReadingOf(const std::string& bytes) {
        const fs::path path = folder_.Path() / "Kavro.xml";
        std::ofstream(path, std::ios::binary) << bytes;
        return Reading(ReadBytes(path));
    }

    ComApartment com_;
    TempFolder folder_{"kavro-corpus-"};
};

TEST_F(GeneratedCorpusTest, TenThousandItemsAreAllRead) {
    std::string file = "<CDLibraryList>";
    std::string expected;
    for (int32_t id = 0; id < 10000; ++id) {
        const std::string bank = std::to_string(id % 127 + 1);
        file += "<Item ID=\"" + std::to_string(id) + "\" Bank=\"" + bank + "\"/>";
        expected += (id == 0 ? "" : " ") + std::to_string(id) + ":" + bank;
    }
    file += "</CDLibraryList>";
    const std::string reading = ReadingOf(file);
    EXPECT_EQ(std::count(reading.begin(), reading.end(), ':'), 10000);
    EXPECT_TRUE(reading == expected) << reading.substr(0, 200);
}

// A bank table holds a few kilobytes; a file of more than 16 MiB is not read at all.
TEST_F(GeneratedCorpusTest, FilesLargerThanTheLimitAreRefused) {
    // Filled with comments, each within the parser's limit on one text.
    const std::string head = "<CDLibraryList>";
    const std::string tail = "<Item ID=\"0\" Bank=\"1\"/></CDLibraryList>";
    const std::size_t kComment = 1000000;
    std::string largest = head;
    std::size_t left = kLargestXmlFile - head.size() - tail.size();
    for (; left >= kComment; left -= kComment) {
        largest += "<!--" + std::string(kComment - 7, 'x') + "-->";
    }
    largest += std::string(left, ' ') + tail;
    ASSERT_EQ(largest.size(), kLargestXmlFile);
    EXPECT_EQ(ReadingOf(largest), "0:1");
    EXPECT_EQ(ReadingOf(largest + " "), "refused");
}

// Both builds nest elements as deeply as libxml2 lets them, and no deeper.
TEST_F(GeneratedCorpusTest, ElementsNestAsDeepAsTheLimitAndNoDeeper) {
    for (const int32_t depth : {kLargestXmlDepth, kLargestXmlDepth + 1}) {
        std::string file;
        for (int32_t level = 0; level < depth; ++level) {
            file += "<Item ID=\"0\" Bank=\"1\">";
        }
        for (int32_t level = 0; level < depth; ++level) {
            file += "</Item>";
        }
        EXPECT_EQ(ReadingOf(file), depth <= kLargestXmlDepth ? "0:1" : "refused") << depth;
    }
}

// The parser's depth limit refuses the file before the stack or the memory runs out.
TEST_F(GeneratedCorpusTest, NestingTenThousandDeepIsRefused) {
    std::string file = "<CDLibraryList>";
    for (int level = 0; level < 10000; ++level) {
        file += "<Item ID=\"0\" Bank=\"1\">";
    }
    for (int level = 0; level < 10000; ++level) {
        file += "</Item>";
    }
    file += "</CDLibraryList>";
    EXPECT_EQ(ReadingOf(file), "refused");
}
}  // namespace

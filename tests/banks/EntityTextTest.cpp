#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ComApartment.h"
#include "XmlDocument.h"
#include "XmlMarkupLimits.h"

// Values made of entity references are read with the references substituted, and
// all references together may stand for at most kMostXmlEntityText characters: the
// Windows build's DOM copies an entity's text for each reference without a bound of
// its own, and a file of a few megabytes would keep it busy for minutes.
namespace {

// A table whose Items each carry a Bank of `references` references to an entity of
// `entityLength` digits, followed by `extra` more digits.
std::string Table(int items, int references, int entityLength, int extra) {
    std::string file = "<!DOCTYPE CDLibraryList [<!ENTITY d \"" + std::string(entityLength, '1') +
                       "\">]><CDLibraryList>";
    std::string bank;
    for (int i = 0; i < references; ++i) {
        bank += "&d;";
    }
    bank += std::string(extra, '1');
    for (int i = 0; i < items; ++i) {
        file += "<Item ID=\"" + std::to_string(i) + "\" Bank=\"" + bank + "\"/>";
    }
    return file + "</CDLibraryList>";
}

class EntityTextTest : public ::testing::Test {
protected:
    // The length of each Item's Bank; empty when the file is refused.
    std::vector<int32_t> BankLengths(const std::string& bytes) {
        XmlDocument document;
        std::vector<int32_t> lengths;
        if (!document.Create() || !document.FromBytes(bytes)) {
            return lengths;
        }
        XmlChildren items(document.DocumentElement());
        XmlElement item;
        while (items.Next(item)) {
            LString bank;
            lengths.push_back(item.GetAttribute(u"Bank", bank) ? bank.GetLength() : -1);
        }
        return lengths;
    }

    ComApartment com_;
};

static_assert(kMostXmlEntityText == 1024 * 1024, "the tables below are cut to the limit");

TEST_F(EntityTextTest, AValueMayTakeEntityTextUpToTheLimit) {
    EXPECT_EQ(BankLengths(Table(1, 1024, 1024, 0)), std::vector<int32_t>{1024 * 1024});
    // The value's own characters are no entity text.
    EXPECT_EQ(BankLengths(Table(1, 1024, 1024, 7)), std::vector<int32_t>{1024 * 1024 + 7});
    EXPECT_TRUE(BankLengths(Table(1, 1025, 1024, 0)).empty());
}

TEST_F(EntityTextTest, AllValuesTogetherTakeEntityTextUpToTheLimit) {
    EXPECT_EQ(BankLengths(Table(4, 256, 1024, 0)), std::vector<int32_t>(4, 256 * 1024));
    EXPECT_TRUE(BankLengths(Table(5, 256, 1024, 0)).empty());
}

TEST_F(EntityTextTest, AValueOfGigabytesIsRefusedWithoutBeingExpanded) {
    EXPECT_TRUE(BankLengths(Table(1, 20000, 100000, 0)).empty());
}

}  // namespace

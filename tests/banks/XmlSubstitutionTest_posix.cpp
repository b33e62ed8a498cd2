#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "XmlDocument.h"

// Values made of entity references are substituted only as far as the parser itself
// would substitute them: each value at most 10,000,000 characters long, and all
// values together at most ten times the file. (Wine's DOM expands such values
// without a bound, and a file of a few megabytes keeps it busy for minutes.)
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

class XmlSubstitutionTest : public ::testing::Test {
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
};

TEST_F(XmlSubstitutionTest, AValueMayGrowToTheParsersTextLimit) {
    EXPECT_EQ(BankLengths(Table(1, 1000, 10000, 0)), std::vector<int32_t>{10000000});
    EXPECT_TRUE(BankLengths(Table(1, 1000, 10000, 1)).empty());
}

TEST_F(XmlSubstitutionTest, AValueOfGigabytesIsRefusedWithoutBeingExpanded) {
    EXPECT_TRUE(BankLengths(Table(1, 20000, 100000, 0)).empty());
}

TEST_F(XmlSubstitutionTest, AllValuesTogetherMayAmplifyTheFileTenfold) {
    // Nine values of a million characters from a file of about 100 kB: within the
    // parser's text limit, so allowed whatever the file's size.
    EXPECT_EQ(BankLengths(Table(9, 10, 100000, 0)), std::vector<int32_t>(9, 1000000));
    // Eleven: 11 MB from 100 kB.
    EXPECT_TRUE(BankLengths(Table(11, 10, 100000, 0)).empty());
    // Eleven again, from a file of over 1.1 MB: no more than ten times the file.
    const std::string padded = Table(11, 10, 100000, 0) + std::string(1000000, ' ');
    EXPECT_EQ(BankLengths(padded), std::vector<int32_t>(11, 1000000));
}
}  // namespace

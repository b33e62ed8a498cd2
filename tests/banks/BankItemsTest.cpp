#include "BankItems.h"

#include <gtest/gtest.h>

#include <string>

#include "ComApartment.h"
#include "LUtf.h"

namespace {
class BankItemsTest : public ::testing::Test {
protected:
    // The table's Items as letters: E in effect, I no ID, B no Bank, R bank out of
    // range, S shadowed by a later Item; each followed by device:bank when in effect.
    std::string Standings(const std::string& items) {
        XmlDocument document;
        EXPECT_TRUE(document.Create());
        EXPECT_TRUE(document.FromBytes("<CDLibraryList>" + items + "</CDLibraryList>"));
        items_.Read(document.DocumentElement());
        std::string letters;
        for (int32_t index = 0; index < items_.GetCount(); ++index) {
            const BankItem& item = items_[index];
            letters += letters.empty() ? "" : " ";
            letters += "EIBRS"[static_cast<int>(item.standing)];
            if (item.standing == ItemStanding::kInEffect) {
                letters += std::to_string(item.device) + ":" + std::to_string(item.bank);
                EXPECT_EQ(items_.InEffectFor(item.bank), index);
            }
        }
        return letters;
    }

    ComApartment com_;
    BankItems items_;
};

TEST_F(BankItemsTest, OnlyANumberedIdAndABankFrom1To127ThatNoLaterItemHoldsCount) {
    const struct {
        const char* items;
        const char* standings;
    } cases[] = {
        {R"(<Item ID="0" Bank=""/><Item ID="0" Bank="0"/><Item ID="0" Bank="128"/>)", "B R R"},
        {R"(<Item ID="" Bank="1"/><Item Bank="1"/><Item ID="1"/><Item/>)", "I I B I"},
        // The later Item decides a bank, but only one that counts itself.
        {R"(<Item ID="0" Bank="1"/><Item ID="1" Bank="1"/>)", "S E1:1"},
        {R"(<Item ID="0" Bank="1"/><Item ID="" Bank="1"/><Item ID="2" Bank="0"/>)", "E0:1 I R"},
        // One device with two banks keeps both.
        {R"(<Item ID="0" Bank="1"/><Item ID="0" Bank="2"/>)", "E0:1 E0:2"},
        // Numbers read as ToInteger reads them: the 32-bit wrap, a sign, letters around
        // the digits.
        {R"(<Item ID="-3" Bank="x5"/><Item ID="7" Bank="4294967298"/>)", "E-3:5 E7:2"},
        {R"(<!-- no Item -->text<Other ID="1" Bank="1"/>)", "E1:1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Standings(c.items), c.standings) << c.items;
    }
    EXPECT_EQ(items_.InEffectFor(2), -1);
}

// Whatever a file holds, the line about an Item sends the terminal no control
// character and stays short.
TEST_F(BankItemsTest, AnItemIsDescribedWithoutControlsAndCutShort) {
    Standings(R"(<Item ID="&#155;Am&#10;x" Bank="1"/><Item ID="0" Bank=")" + std::string(40, '9') +
              R"("/><Item ID="0" Bank="1"/><Item ID="9" Bank="1"/>)");
    EXPECT_EQ(Utf8FromUtf16(items_.Describe(0).c_str()), R"(Item 1 (ID="?Am?x" Bank="1"))");
    EXPECT_EQ(Utf8FromUtf16(items_.Describe(1).c_str()),
              R"(Item 2 (ID="0" Bank=")" + std::string(20, '9') + R"(..."))");
    EXPECT_EQ(Utf8FromUtf16(items_.Describe(2).c_str()), R"(Item 3 (ID="0" Bank="1"))");
    EXPECT_EQ(Utf8FromUtf16(items_.Reason(2).c_str()), "a later Item holds bank 1");
}
}  // namespace

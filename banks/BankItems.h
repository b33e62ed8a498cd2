#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "CarouselGeometry.h"
#include "XmlDocument.h"

// How each Item of the bank table counts. Only an Item in effect makes its device
// known and its bank selectable: an Item that counts as absent could otherwise hide
// a device from the numbering for good, or take a bank from the device that holds it.
enum class ItemStanding : uint8_t {
    kInEffect,
    kNoId,            // its ID is missing or holds no digit
    kNoBank,          // its Bank is missing or holds no digit
    kBankOutOfRange,  // its bank reads outside 1 to 127
    kShadowed,        // a later Item in effect holds the same bank
};

struct BankItem {
    int32_t device;  // the ID as ToInteger reads it
    int32_t bank;    // the Bank as ToInteger reads it
    ItemStanding standing;
};

// The Items of a bank table: every child element of its root, in file order.
class BankItems {
public:
    BankItems();

    // Reads the root's Items, replacing what was read before. Throws what the
    // document throws when memory runs out.
    void Read(const XmlElement& root);

    int32_t GetCount() const { return static_cast<int32_t>(items_.size()); }
    const BankItem& operator[](int32_t index) const { return items_[static_cast<size_t>(index)]; }
    // The Item in effect that holds the bank, or -1.
    int32_t InEffectFor(int32_t bank) const;
    // Whether an Item in effect names the device, which then has a bank.
    bool Knows(int32_t device) const;

    // "Item 3 (ID="x" Bank="3")": the Item by its place in the file and its two
    // attributes, as the file has them when they hold no number, shortened and with
    // control characters replaced, so that no file can send the terminal a sequence.
    std::u16string Describe(int32_t index) const;
    // Why an Item that is not in effect is not: "its ID holds no digit".
    std::u16string Reason(int32_t index) const;

    // The reading of one Item, for the corpus and the tests.
    static BankItem ReadItem(const XmlElement& item, std::u16string* shown);

private:
    std::vector<BankItem> items_;
    // The attributes as shown, of the Items whose numbers cannot stand for them.
    std::vector<std::pair<int32_t, std::u16string>> shown_;
    int32_t inEffect_[carousel::kHighestBank + 1];
};

// The discs that a bank holds, as "151-300".
std::u16string DiscsOfBank(int32_t bank);

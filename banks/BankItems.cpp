#include "BankItems.h"

#include <algorithm>
#include <string>

#include "LString.h"
#include "LUtf.h"

namespace {

// The longest attribute value shown as it is; a longer one is cut short.
constexpr size_t kShownLength = 20;

bool HoldsDigit(const LString& text) {
    for (int32_t i = 0; i < text.GetLength(); ++i) {
        if (IsAsciiDigit(text.GetAt(i))) {
            return true;
        }
    }
    return false;
}

// C0 and C1 controls would reach the terminal as the start of a sequence.
bool IsControl(LChar ch) {
    return ch < 0x20 || (ch >= 0x7F && ch <= 0x9F);
}

std::u16string Shown(const LString& value) {
    std::u16string shown;
    for (int32_t i = 0; i < value.GetLength(); ++i) {
        if (shown.size() == kShownLength) {
            shown += u"...";
            break;
        }
        const LChar ch = value.GetAt(i);
        shown += IsControl(ch) ? u'?' : ch;
    }
    return shown;
}

std::u16string Attribute(const char16_t* name, const std::u16string& value) {
    return std::u16string(name) + u"=\"" + value + u"\"";
}

}  // namespace

BankItems::BankItems() {
    for (int32_t& item : inEffect_) {
        item = -1;
    }
}

BankItem BankItems::ReadItem(const XmlElement& item, std::u16string* shown) {
    LString id;
    LString bank;
    const bool hasId = item.GetAttribute(u"ID", id);
    const bool hasBank = item.GetAttribute(u"Bank", bank);
    BankItem read{id.ToInteger(), bank.ToInteger(), ItemStanding::kInEffect};
    if (!HoldsDigit(id)) {
        read.standing = ItemStanding::kNoId;
    } else if (!HoldsDigit(bank)) {
        read.standing = ItemStanding::kNoBank;
    } else if (!carousel::IsBank(read.bank)) {
        read.standing = ItemStanding::kBankOutOfRange;
    }
    if (read.standing != ItemStanding::kInEffect && shown != nullptr) {
        shown->clear();
        if (hasId) {
            *shown += Attribute(u"ID", Shown(id));
        }
        if (hasBank) {
            *shown += (hasId ? u" " : u"") + Attribute(u"Bank", Shown(bank));
        }
    }
    return read;
}

void BankItems::Read(const XmlElement& root) {
    items_.clear();
    shown_.clear();
    for (int32_t& item : inEffect_) {
        item = -1;
    }
    if (root.IsNull()) {
        return;
    }
    XmlChildren children(root);
    XmlElement node;
    std::u16string shown;
    while (children.Next(node)) {
        if (node.IsNull()) {
            continue;  // a comment, a processing instruction or text: no Item
        }
        items_.push_back(ReadItem(node, &shown));
        if (items_.back().standing != ItemStanding::kInEffect) {
            shown_.emplace_back(GetCount() - 1, shown);
        }
    }
    // The last Item that holds a bank decides it; the earlier ones give way to it.
    for (int32_t index = GetCount() - 1; index >= 0; --index) {
        BankItem& item = items_[static_cast<size_t>(index)];
        if (item.standing != ItemStanding::kInEffect) {
            continue;
        }
        if (inEffect_[item.bank] >= 0) {
            item.standing = ItemStanding::kShadowed;
        } else {
            inEffect_[item.bank] = index;
        }
    }
}

int32_t BankItems::InEffectFor(int32_t bank) const {
    return carousel::IsBank(bank) ? inEffect_[bank] : -1;
}

bool BankItems::Knows(int32_t device) const {
    for (int32_t bank = carousel::kLowestBank; bank <= carousel::kHighestBank; ++bank) {
        if (inEffect_[bank] >= 0 && (*this)[inEffect_[bank]].device == device) {
            return true;
        }
    }
    return false;
}

std::u16string BankItems::Describe(int32_t index) const {
    const BankItem& item = (*this)[index];
    std::u16string attributes;
    if (item.standing == ItemStanding::kInEffect || item.standing == ItemStanding::kShadowed) {
        attributes = Attribute(u"ID", LDecimal(item.device)) + u" " +
                     Attribute(u"Bank", LDecimal(item.bank));
    } else {
        // Kept in file order, so found by halves.
        const auto found = std::lower_bound(shown_.begin(), shown_.end(), index,
                                            [](const std::pair<int32_t, std::u16string>& shown,
                                               int32_t at) { return shown.first < at; });
        if (found != shown_.end() && found->first == index) {
            attributes = found->second;
        }
    }
    return u"Item " + LDecimal(int64_t{index} + 1) + u" (" + attributes + u")";
}

std::u16string BankItems::Reason(int32_t index) const {
    const BankItem& item = (*this)[index];
    switch (item.standing) {
        case ItemStanding::kNoId:
            return u"its ID holds no digit";
        case ItemStanding::kNoBank:
            return u"its Bank holds no digit";
        case ItemStanding::kBankOutOfRange:
            return u"its bank is not from 1 to 127";
        case ItemStanding::kShadowed:
            return u"a later Item holds bank " + LDecimal(item.bank);
        case ItemStanding::kInEffect:
            break;
    }
    return u"it is in effect";
}

std::u16string DiscsOfBank(int32_t bank) {
    return LDecimal(carousel::FirstDiscOf(bank)) + u"-" +
           LDecimal(carousel::FirstDiscOf(bank + 1) - 1);
}

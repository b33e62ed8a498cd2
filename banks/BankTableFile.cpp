#include "BankTableFile.h"

#include <string>
#include <utility>
#include <vector>

#include "CDeviceTable.h"
#include "CarouselGeometry.h"
#include "LStdOut.h"
#include "LUtf.h"
#include "XmlDeclaration.h"
#include "XmlMarkupLimits.h"

namespace {

const LChar kFileName[] = u"Kavro.xml";
const LChar kRootName[] = u"CDLibraryList";

const LChar kCannotTell[] = u"\r\nCannot tell whether initialization file (Kavro.xml) exists.\r\n";
const LChar kCannotCreateDom[] = u"\r\nCannot create XML DOM.\r\n";
const LChar kCannotLoad[] = u"\r\nCannot load initialization file (Kavro.xml).\r\n";
const LChar kWrongFormat[] = u"\r\nWrong file format (Kavro.xml) or internal xml error.\r\n";
const LChar kCannotSave[] = u"\r\nCannot save initialization file (Kavro.xml).\r\n";

}  // namespace

LFilePresence BankTablePresence(TableFolder* folder) {
    const LFilePresence presence =
        folder != nullptr ? folder->Presence(kFileName) : LFilePresence::kUnknown;
    if (presence == LFilePresence::kUnknown) {
        StdOutWrite(kCannotTell);
    }
    return presence;
}

BankTableStart OpenBankTable(const LString& programDirectory) {
    BankTableStart start;
    start.folder = OpenTableFolder(programDirectory);
    start.presence = BankTablePresence(start.folder.get());
    return start;
}

bool BankTableFile::CreateNew() {
    if (!document_.Create()) {
        StdOutWrite(kCannotCreateDom);
        return false;
    }
    root_ = document_.CreateElement(kRootName);
    document_.AppendChild(root_);
    return true;
}

bool BankTableFile::Load() {
    if (!document_.Create()) {
        StdOutWrite(kCannotCreateDom);
        return false;
    }
    std::string bytes;
    if (!ReadTableFile(folder_, kFileName, kLargestXmlFile, bytes) || !document_.FromBytes(bytes)) {
        StdOutWrite(kCannotLoad);
        return false;
    }
    root_ = document_.DocumentElement();
    try {
        items_.Read(root_);
    } catch (...) {
        StdOutWrite(kWrongFormat);
        return false;
    }
    return true;
}

XmlElement BankTableFile::ItemElement(int32_t index) const {
    XmlChildren children(root_);
    XmlElement node;
    for (int32_t at = 0; children.Next(node);) {
        if (!node.IsNull() && at++ == index) {
            return node;
        }
    }
    return XmlElement();
}

// The file as the next run will read it: with the reader's own limits, the same
// banks for the same devices as the document meant, and in the encoding it names,
// so that no character outside ASCII reads as another. A table the reader would
// refuse (grown past its size limit, say) never takes the old one's place.
bool BankTableFile::ReadsAsMeant(const std::string& written) const {
    try {
        XmlDocument reread;
        BankItems meant;
        BankItems read;
        if (!IsUtf8AsDeclared(written) || !reread.Create() || !reread.FromBytes(written)) {
            return false;
        }
        meant.Read(root_);
        read.Read(reread.DocumentElement());
        for (int32_t bank = carousel::kLowestBank; bank <= carousel::kHighestBank; ++bank) {
            const int32_t a = meant.InEffectFor(bank);
            const int32_t b = read.InEffectFor(bank);
            if ((a < 0) != (b < 0) || (a >= 0 && meant[a].device != read[b].device)) {
                return false;
            }
        }
        return true;
    } catch (...) {
        return false;
    }
}

BankClaims BankTableFile::ClaimsOfAttached() const {
    BankClaims claims;
    for (int32_t bank = carousel::kLowestBank; bank <= carousel::kHighestBank; ++bank) {
        const int32_t index = items_.InEffectFor(bank);
        if (index >= 0 && CDeviceTable::IsAttached(items_[index].device)) {
            claims.Hold(bank, items_[index].device);
        }
    }
    return claims;
}

// Why an Item goes when the table is saved, or nothing when it stays. The reasons
// hold for the table as saved: an Item shadowed under a bank that the renumbered
// Item left would otherwise come into effect and give its device that bank unasked,
// and one shadowed under a bank given in this run goes with the Item it stood
// behind.
std::u16string BankTableFile::DropReason(int32_t index, const BankClaims& claims,
                                         int32_t kept) const {
    const BankItem& item = items_[index];
    int32_t receiver = 0;
    const bool given = index != kept && claims.GivenInRun(item.bank, receiver);
    // Behind the renumbered Item: under the bank it left, or the one it took.
    const bool behindRenumbered = item.standing == ItemStanding::kShadowed && kept >= 0;
    if (behindRenumbered && item.bank == items_[kept].bank) {
        return u"a later Item held bank " + LDecimal(item.bank) + u" until internal number " +
               LDecimal(items_[kept].device) + u" left it";
    }
    if (item.standing != ItemStanding::kInEffect && !(behindRenumbered && given)) {
        return items_.Reason(index);
    }
    if (given) {
        return u"internal number " + LDecimal(receiver) + u" took bank " + LDecimal(item.bank);
    }
    return std::u16string();
}

// The elements are found first and taken out after the walk, which a removal would
// disturb. The indices are places among the Items, in file order.
void BankTableFile::RemoveItems(const std::vector<int32_t>& indices) {
    std::vector<XmlElement> elements;
    {
        XmlChildren children(root_);
        XmlElement node;
        size_t next = 0;
        for (int32_t at = 0; next < indices.size() && children.Next(node);) {
            if (!node.IsNull() && at++ == indices[next]) {
                elements.push_back(std::move(node));
                ++next;
            }
        }
    }
    for (const XmlElement& element : elements) {
        root_.RemoveChild(element);
    }
}

void BankTableFile::Forget(int32_t bank) {
    forgotten_.resize(static_cast<size_t>(items_.GetCount()));
    for (int32_t index = 0; index < items_.GetCount(); ++index) {
        const BankItem& item = items_[index];
        if (item.bank == bank && (item.standing == ItemStanding::kInEffect ||
                                  item.standing == ItemStanding::kShadowed)) {
            forgotten_[static_cast<size_t>(index)] = true;
        }
    }
}

bool BankTableFile::Save(FilePlacement placement, const BankClaims& claims, int32_t kept) {
    // Why each Item goes, by its place among the Items.
    std::vector<std::pair<int32_t, std::u16string>> dropped;
    std::vector<int32_t> indices;
    for (int32_t index = 0; index < items_.GetCount(); ++index) {
        if (static_cast<size_t>(index) < forgotten_.size() &&
            forgotten_[static_cast<size_t>(index)]) {
            indices.push_back(index);
            continue;
        }
        std::u16string reason = DropReason(index, claims, kept);
        if (!reason.empty()) {
            dropped.emplace_back(index, std::move(reason));
            indices.push_back(index);
        }
    }
    RemoveItems(indices);
    std::string bytes;
    if (!document_.ToBytes(bytes) ||
        !SaveTableFile(folder_, kFileName, bytes, placement,
                       [this](const std::string& written) { return ReadsAsMeant(written); })) {
        StdOutWrite(kCannotSave);
        return false;
    }
    for (const auto& [index, reason] : dropped) {
        StdOutWrite((items_.Describe(index) + u" was dropped: " + reason + u".\r\n").c_str());
    }
    return true;
}

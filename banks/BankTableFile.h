#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "BankClaims.h"
#include "BankItems.h"
#include "LFileStatus.h"
#include "TableFile.h"
#include "TableFolder.h"
#include "XmlDocument.h"

// Kavro.xml in the program's folder: whether it is there, one reading of it and its
// saves. Every operation that fails writes the message that ends the run.

// Whether the file is there; kUnknown, after "Cannot tell whether...", when that
// cannot be known for sure, as when the folder could not be opened (null).
LFilePresence BankTablePresence(TableFolder* folder);

// The start of every run that reads the table: the program folder, opened once for
// every look at the table and every save, and whether the file is there.
struct BankTableStart {
    std::unique_ptr<TableFolder> folder;
    LFilePresence presence;  // kUnknown after "Cannot tell whether..."
};
BankTableStart OpenBankTable(const LString& programDirectory);

class BankTableFile {
public:
    explicit BankTableFile(TableFolder& folder) : folder_(folder) {}

    // An empty document with its root, for the first run; false after "Cannot
    // create XML DOM.".
    bool CreateNew();
    // Loads the file and reads its Items; false after "Cannot create XML DOM.",
    // "Cannot load..." or "Wrong file format...".
    bool Load();

    XmlDocument& Document() { return document_; }
    XmlElement& Root() { return root_; }
    const BankItems& Items() const { return items_; }
    // The element of an Item, by its place among the Items.
    XmlElement ItemElement(int32_t index) const;
    // The banks that the Items in effect give attached devices.
    BankClaims ClaimsOfAttached() const;

    // Every Item that holds the bank, in effect or shadowed, goes with the next save,
    // without a line of its own.
    void Forget(int32_t bank);

    // Takes out the Items that count as absent and those whose bank the claims show
    // given to a device in this run (the Item at `kept` excepted), then saves the
    // document, once the file written reads back as the same table. False after
    // "Cannot save..."; after a save, one line per Item taken out. `kept` is the Item
    // renumbered in this run: no Item shadowed by it under its old bank comes into
    // effect in its place.
    bool Save(FilePlacement placement, const BankClaims& claims, int32_t kept = -1);

private:
    bool ReadsAsMeant(const std::string& written) const;
    std::u16string DropReason(int32_t index, const BankClaims& claims, int32_t kept) const;
    void RemoveItems(const std::vector<int32_t>& indices);

    TableFolder& folder_;
    XmlDocument document_;
    XmlElement root_;
    BankItems items_;
    std::vector<bool> forgotten_;  // by place among the Items
};

#include "BankTableStage.h"

#include "BankDialogue.h"
#include "BankTableItems.h"
#include "LFileStatus.h"
#include "LInterrupt.h"
#include "LMap.h"
#include "LStdOut.h"
#include "XmlDocument.h"

namespace {

const LChar kFileName[] = u"Kavro.xml";
const LChar kRootName[] = u"CDLibraryList";

const LChar kCannotCreateDom[] = u"\r\nCannot create XML DOM.\r\n";
const LChar kFirstRun[] =
    u"\r\n   For the first time the program must be initialized. Please turn on your CD "
    u"Libraries,\r\nconnect them to the computer via USB port. The devices will be flashing "
    u"with their indicators\r\none by one. While the specific device is flashing enter the "
    u"desired number for that device.\r\nThe number must be from 1 to 127.\r\n\r\n";
const LChar kCannotForm[] = u"\r\nCannot form initializing xml.\r\n";
const LChar kCannotSave[] = u"\r\nCannot save initialization file (Kavro.xml).\r\n";
const LChar kCreated[] =
    u"\r\nKavro.xml file was created.\r\nPlease, do not delete this file,\r\notherwise you'll "
    u"have to repeat the initialization procedure.\r\n";
const LChar kCannotLoad[] = u"\r\nCannot load initialization file (Kavro.xml).\r\n";
const LChar kCannotTell[] = u"\r\nCannot tell whether initialization file (Kavro.xml) exists.\r\n";
const LChar kWrongFormat[] = u"\r\nWrong file format (Kavro.xml) or internal xml error.\r\n";
const LChar kNewDevice[] =
    u"\r\nNew device was found. Please, assign identification number for it (from 1 to "
    u"127).\r\n";
const LChar kNewDevices[] =
    u"\r\nNew devices were found. Please, assign identification numbers for them (from 1 to "
    u"127).\r\n";
const LChar kNoConsoleInput[] =
    u"\r\nThe devices cannot be numbered: there is no keyboard to type their numbers on.\r\n"
    u"Please, start Kavro from a console window.\r\n";

enum class PassResult { kHandOver, kAgain, kEnd };

LString FilePath(const LString& directory) {
    return Concat(directory, kFileName);
}

// Reads every Item into the bank map and the known-devices map.
void ReadItems(const XmlElement& root, CDeviceTable& table, LMap& known) {
    ForEachItem(root, [&](int32_t device, int32_t bank) {
        table.FindOrInsert(bank) = device;
        known.FindOrInsert(device) = bank;
    });
}

bool CreateBankTable(const LString& directory) {
    XmlDocument document;
    if (!document.Create()) {
        StdOutWrite(kCannotCreateDom);
        return false;
    }
    StdOutWrite(kFirstRun);
    XmlElement root = document.CreateElement(kRootName);
    document.AppendChild(root);
    LList devices;
    CDeviceTable::CopyDeviceList(devices);
    try {
        AssignBanks(document, root, devices);
    } catch (const NoConsoleInput&) {
        StdOutWrite(kNoConsoleInput);
        return false;
    } catch (const interrupt::Interrupted&) {
        throw;  // nothing is saved, and the program ends
    } catch (...) {
        StdOutWrite(kCannotForm);
        return false;
    }
    // Another run may have made the file meanwhile; its table stays whole.
    if (!document.Save(FilePath(directory).GetText(), FilePlacement::kOnlyIfAbsent)) {
        StdOutWrite(kCannotSave);
        return false;
    }
    StdOutWrite(kCreated);
    return true;
}

PassResult LoadPass(const LString& directory, CDeviceTable& table) {
    XmlDocument document;
    if (!document.Create()) {
        StdOutWrite(kCannotCreateDom);
        return PassResult::kEnd;
    }
    if (!document.Load(FilePath(directory).GetText())) {
        StdOutWrite(kCannotLoad);
        return PassResult::kEnd;
    }
    LMap known(10, false);
    XmlElement root = document.DocumentElement();
    try {
        ReadItems(root, table, known);
    } catch (...) {
        StdOutWrite(kWrongFormat);
        return PassResult::kEnd;
    }

    LList attached;
    CDeviceTable::CopyDeviceList(attached);
    LList unknown(10, false);
    for (LPosition p = attached.GetHeadPosition(); p != nullptr;) {
        int32_t device = attached.GetNext(p);
        int32_t bank = 0;
        if (!known.Lookup(device, bank)) {
            unknown.AddTail(device);
        }
    }
    if (unknown.GetCount() == 0) {
        return PassResult::kHandOver;
    }

    // Filled again from the file by the next pass.
    table.RemoveAll();
    StdOutWrite(unknown.GetCount() == 1 ? kNewDevice : kNewDevices);
    try {
        AssignBanks(document, root, unknown);
    } catch (const NoConsoleInput&) {
        StdOutWrite(kNoConsoleInput);
        return PassResult::kEnd;
    }
    if (!document.Save(FilePath(directory).GetText(), FilePlacement::kReplace)) {
        StdOutWrite(kCannotSave);
        return PassResult::kEnd;
    }
    return PassResult::kAgain;
}

// Only a file known to be absent is created: the first run's numbering would save
// over one that is there unseen. Without a program directory (the program's own
// path could not be had) the file's place is not known either.
LFilePresence BankTablePresence(const LString& directory) {
    if (directory.GetLength() == 0) {
        return LFilePresence::kUnknown;
    }
    LFileStatus status{};
    return LFileStatusLookUp(FilePath(directory).GetText(), status);
}

}  // namespace

bool LoadBankTable(const LString& programDirectory, CDeviceTable& table) {
    switch (BankTablePresence(programDirectory)) {
        case LFilePresence::kUnknown:
            StdOutWrite(kCannotTell);
            return false;
        case LFilePresence::kAbsent:
            if (!CreateBankTable(programDirectory)) {
                return false;
            }
            break;
        case LFilePresence::kPresent:
            break;
    }
    for (;;) {
        switch (LoadPass(programDirectory, table)) {
            case PassResult::kHandOver:
                return true;
            case PassResult::kEnd:
                return false;
            case PassResult::kAgain:
                break;
        }
    }
}

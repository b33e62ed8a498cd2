#include "BankTableStage.h"

#include "BankDialogue.h"
#include "BankTableFile.h"
#include "LConsoleDialogue.h"
#include "LInterrupt.h"
#include "LKeyboard.h"
#include "LStdOut.h"

namespace {

const LChar kFirstRun[] =
    u"\r\n   For the first time the program must be initialized. Please turn on your CD "
    u"Libraries,\r\nconnect them to the computer via USB port. The devices will be flashing "
    u"with their indicators\r\none by one. While the specific device is flashing enter the "
    u"desired number for that device.\r\nThe number must be from 1 to 127.\r\n\r\n";
const LChar kCannotForm[] = u"\r\nCannot form initializing xml.\r\n";
const LChar kCreated[] =
    u"\r\nKavro.xml file was created.\r\nPlease, do not delete this file,\r\notherwise you'll "
    u"have to repeat the initialization procedure.\r\n";
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

// How the numbering goes: within a selection it asks whatever standard input is,
// and says there is no keyboard once it reads none; on its own it first makes sure
// there is one.
enum class Asking { kInSelection, kOnlyWithKeyboard };

// Whether the numbering may begin; false after the reason.
bool MayAsk(Asking asking) {
    if (asking == Asking::kOnlyWithKeyboard && !keyboard::Available()) {
        StdOutWrite(kNoConsoleInput);
        return false;
    }
    return true;
}

bool CreateBankTable(TableFolder& folder, Asking asking) {
    if (!MayAsk(asking)) {
        return false;
    }
    BankTableFile file(folder);
    if (!file.CreateNew()) {
        return false;
    }
    LList devices;
    CDeviceTable::CopyDeviceList(devices);
    BankClaims claims;
    try {
        const LConsoleDialogue dialogue;
        StdOutWrite(kFirstRun);
        AssignBanks(file.Document(), file.Root(), devices, claims);
    } catch (const keyboard::NoConsoleInput&) {
        StdOutWrite(kNoConsoleInput);
        return false;
    } catch (const interrupt::Interrupted&) {
        throw;  // nothing is saved, and the program ends
    } catch (...) {
        StdOutWrite(kCannotForm);
        return false;
    }
    // Another run may have made the file meanwhile; its table stays whole.
    if (!file.Save(FilePlacement::kOnlyIfAbsent, claims)) {
        return false;
    }
    StdOutWrite(kCreated);
    return true;
}

PassResult LoadPass(TableFolder& folder, CDeviceTable& table, Asking asking) {
    BankTableFile file(folder);
    if (!file.Load()) {
        return PassResult::kEnd;
    }
    // Only the Items in effect map banks and make devices known.
    const BankItems& items = file.Items();
    for (int32_t index = 0; index < items.GetCount(); ++index) {
        if (items[index].standing == ItemStanding::kInEffect) {
            table.FindOrInsert(items[index].bank) = items[index].device;
        }
    }

    LList attached;
    CDeviceTable::CopyDeviceList(attached);
    LList unknown(10, false);
    for (LPosition p = attached.GetHeadPosition(); p != nullptr;) {
        const int32_t device = attached.GetNext(p);
        if (!items.Knows(device)) {
            unknown.AddTail(device);
        }
    }
    if (unknown.GetCount() == 0) {
        return PassResult::kHandOver;
    }

    if (!MayAsk(asking)) {
        return PassResult::kEnd;
    }
    // Filled again from the file by the next pass.
    table.RemoveAll();
    BankClaims claims = file.ClaimsOfAttached();
    try {
        const LConsoleDialogue dialogue;
        StdOutWrite(unknown.GetCount() == 1 ? kNewDevice : kNewDevices);
        AssignBanks(file.Document(), file.Root(), unknown, claims);
    } catch (const keyboard::NoConsoleInput&) {
        StdOutWrite(kNoConsoleInput);
        return PassResult::kEnd;
    }
    return file.Save(FilePlacement::kReplace, claims) ? PassResult::kAgain : PassResult::kEnd;
}

NumberingResult RunNumbering(const BankTableStart& start, CDeviceTable& table, Asking asking) {
    TableFolder* const folder = start.folder.get();
    bool numbered = false;
    switch (start.presence) {
        case LFilePresence::kUnknown:
            return NumberingResult::kEnded;
        case LFilePresence::kAbsent:
            if (!CreateBankTable(*folder, asking)) {
                return NumberingResult::kEnded;
            }
            numbered = true;
            break;
        case LFilePresence::kPresent:
            break;
    }
    for (;;) {
        switch (LoadPass(*folder, table, asking)) {
            case PassResult::kHandOver:
                return numbered ? NumberingResult::kNumbered : NumberingResult::kNothingToNumber;
            case PassResult::kEnd:
                return NumberingResult::kEnded;
            case PassResult::kAgain:
                numbered = true;
                break;
        }
    }
}

}  // namespace

bool LoadBankTable(const BankTableStart& start, CDeviceTable& table) {
    return RunNumbering(start, table, Asking::kInSelection) != NumberingResult::kEnded;
}

NumberingResult NumberNewDevices(const BankTableStart& start, CDeviceTable& table) {
    return RunNumbering(start, table, Asking::kOnlyWithKeyboard);
}

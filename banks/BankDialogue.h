#pragma once

#include <cstdint>

#include "BankClaims.h"
#include "LKeyboard.h"
#include "LList.h"
#include "XmlDocument.h"

// Gives each listed device its bank: the device blinks while the user types the
// number, and an Item with the device's ID and Bank is appended to the root. A
// bank that the claims show held by another device is refused; each bank given is
// claimed for its device.
void AssignBanks(XmlDocument& document, XmlElement& root, const LList& devices, BankClaims& claims);

// How a prompt may end besides with a bank. The numbering waits for one whatever
// happens; the renumbering of a device lets the user go back on it, and ends once
// the device has gone, since nobody can then tell which device the number is for.
struct PromptExits {
    bool escapeCancels = false;
    bool endsWhenUnplugged = false;
};
enum class PromptEnd { kBank, kCancelled, kUnplugged };
struct PromptAnswer {
    PromptEnd end;
    int32_t bank;  // with kBank
};

// One device's turn: the prompt, the device reset and blinking while the user types
// its bank, which is claimed for it and returned. The caller records the bank, then
// reports it.
int32_t AskForBank(int32_t device, BankClaims& claims);
// The same turn with other ways out; a bank is claimed only when one is given. The
// LED is off however the turn ends.
PromptAnswer AskForBank(int32_t device, BankClaims& claims, const PromptExits& exits);
// The result line, written over the prompt.
void ReportAssignment(int32_t device, int32_t bank);

// Reads one bank number from the keyboard, always 1..127 and never one that the
// claims show held by a device other than this one: anything else is refused with
// a red message and asked again.
int32_t ReadBankNumber(const BankClaims& claims, int32_t device);
// The same, ending also as the exits allow, with the typed digits blanked.
PromptAnswer ReadBankNumber(const BankClaims& claims, int32_t device, const PromptExits& exits);

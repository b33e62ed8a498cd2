#pragma once

#include <cstdint>
#include <exception>

#include "BankClaims.h"
#include "LList.h"
#include "XmlDocument.h"

// Raised when a bank number must be asked for but nobody can type one: standard
// input is no console, or it has ended.
class NoConsoleInput : public std::exception {
public:
    const char* what() const noexcept override { return "no console input"; }
};

// Gives each listed device its bank: the device blinks while the user types the
// number, and an Item with the device's ID and Bank is appended to the root. A
// bank that the claims show held by another device is refused; each bank given is
// claimed for its device.
void AssignBanks(XmlDocument& document, XmlElement& root, const LList& devices, BankClaims& claims);

// One device's turn: the prompt, the device reset and blinking while the user types
// its bank, which is claimed for it and returned. The caller records the bank, then
// reports it.
int32_t AskForBank(int32_t device, BankClaims& claims);
// The result line, written over the prompt.
void ReportAssignment(int32_t device, int32_t bank);

// Reads one bank number from the keyboard, always 1..127 and never one that the
// claims show held by a device other than this one: anything else is refused with
// a red message and asked again.
int32_t ReadBankNumber(const BankClaims& claims, int32_t device);

// The next key. Ctrl+C, read as a key, ends the run as it does everywhere else;
// NoConsoleInput when there is no keyboard.
int32_t NextKey();

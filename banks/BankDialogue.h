#pragma once

#include <cstdint>
#include <exception>

#include "LList.h"
#include "XmlDocument.h"

// Raised when a bank number must be asked for but nobody can type one: standard
// input is no console, or it has ended.
class NoConsoleInput : public std::exception {
public:
    const char* what() const noexcept override { return "no console input"; }
};

// Gives each listed device its bank: the device blinks while the user types the
// number, and an Item with the device's ID and Bank is appended to the root.
void AssignBanks(XmlDocument& document, XmlElement& root, const LList& devices);

// Reads one bank number from the keyboard, always 1..127: anything else is refused
// with a red message and asked again.
int32_t ReadBankNumber();

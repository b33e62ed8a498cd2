#pragma once

#include <cstdint>

#include "BankItems.h"
#include "BankTableFile.h"
#include "CommandLine.h"
#include "LString.h"

// The commands beside the selection. Each starts the vendor library and reads the
// bank table as a selection run does, but never numbers a device on its own and
// never selects a disc. Each returns its exit code.
int32_t RunCommand(const Command& command, const LString& programDirectory);

// The message that ends a run when no device is attached.
extern const LChar kNoDevicesDetected[];

// The commands' own steps, each in its file, once the table is read.
int32_t ListDevices(const BankItems& items);
int32_t BlinkDevice(const BankItems& items, int32_t bank);
int32_t RenumberDevice(BankTableFile& table, int32_t bank);

// The device that the Item in effect for the bank names, when it is attached;
// false after the message that ends the command.
bool FindAttachedDevice(const BankItems& items, int32_t bank, int32_t& device);

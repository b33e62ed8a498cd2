#pragma once

#include <cstdint>

#include "BankItems.h"
#include "BankTableFile.h"
#include "CDeviceTable.h"
#include "CommandLine.h"
#include "LString.h"

// The commands beside the selection. Each but the help and the version starts the
// vendor library and reads the bank table as a selection run does; only /number
// numbers a device without being asked to renumber it, and none selects a disc.
// Each returns its exit code.
int32_t RunCommand(const Command& command, const LString& programDirectory);

// The commands' own steps, each in its file, once the table is read.
int32_t ListDevices(const BankItems& items);
int32_t BlinkDevice(const BankItems& items, int32_t bank);
int32_t RenumberDevice(BankTableFile& table, int32_t bank);
int32_t ForgetDevice(BankTableFile& table, int32_t bank);
// Numbers the attached devices that have no bank, creating the table when there is
// none.
int32_t NumberDevices(const BankTableStart& start, CDeviceTable& devices);

// The device that the Item in effect for the bank names, when it is attached;
// false after the message that ends the command.
bool FindAttachedDevice(const BankItems& items, int32_t bank, int32_t& device);

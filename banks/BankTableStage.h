#pragma once

#include "BankTableFile.h"
#include "CDeviceTable.h"

// Loads the bank table file Kavro.xml from the program's directory into the device
// table: created on the first run, and extended whenever a device without a bank is
// attached. True when every attached device has a bank and the discs can be
// selected; false when the run ends, after the reason has been written.
bool LoadBankTable(const BankTableStart& start, CDeviceTable& table);

// How the numbering alone ends.
enum class NumberingResult {
    kNumbered,         // every attached device has a bank now, some given in this run
    kNothingToNumber,  // every attached device had one: the table was not written
    kEnded,            // after the reason has been written
};

// The numbering without the selection: the first run's when there is no table, the
// new devices' otherwise. Without a keyboard it ends before it asks, and blinks
// nothing.
NumberingResult NumberNewDevices(const BankTableStart& start, CDeviceTable& table);

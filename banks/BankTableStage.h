#pragma once

#include "CDeviceTable.h"
#include "LString.h"

// Loads the bank table file Kavro.xml from the program's directory into the device
// table: created on the first run, and extended whenever a device without a bank is
// attached. True when every attached device has a bank and the discs can be
// selected; false when the run ends, after the reason has been written.
bool LoadBankTable(const LString& programDirectory, CDeviceTable& table);

#pragma once

#include <optional>

#include "BankTableFile.h"
#include "LString.h"

// The start that the selection and the commands share, once the device table is
// made: when the run needs a device, one attached ("There are no CD Libraries
// detected." otherwise); then the bank table's folder and whether the file is
// there. Empty after the message that ends the run.
std::optional<BankTableStart> StartRun(const LString& programDirectory, bool needsDevice);

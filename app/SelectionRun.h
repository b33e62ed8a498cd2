#pragma once

#include "CDeviceTable.h"
#include "CDiscList.h"

// Brings the listed discs out one after another: for each, waits until its bank's
// device is ready, repeats the move until the device accepts it, waits until it is
// ready again, then holds a five-second countdown, the disc-down wait and a
// three-second pause.
void RunSelection(const CDiscList& discs, CDeviceTable& table);

#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "USBCDDLL.h"

// A recording stand-in for the vendor library, linked into unit tests in its place.
namespace fake {

// Clears the record and every scripted answer.
void Reset();
// "InitUSBCDLibrary", "EnumDevice 0", "USBCDMoveto 2 17", ... in call order.
std::vector<std::string> Calls();
// The clock (LTickCount) of the calling thread at each call, in the same order.
std::vector<uint64_t> CallTimes();

// GetDeviceNumber's answer and EnumDevice's answer per index.
void SetDevices(int32_t count, std::vector<int32_t> internalNumbers);
// Answers given in turn by one function (its name as in the record); 0 once used up.
void ScriptResults(const std::string& function, std::deque<int32_t> results);
// Runs the action right after the count-th call of a function (its name as in the
// record), as the library's own thread would when a device comes or goes.
void AfterCall(const std::string& function, int count, std::function<void()> action);
// Adds a line of the test's own to the record, such as a sleep.
void Note(const std::string& line);
// The callback registered with SetCDCallbackProc, or null.
USBCDCallback RegisteredCallback();

}  // namespace fake

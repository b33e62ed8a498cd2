#pragma once

// Called after each digit of a countdown is written, before its second passes.
using CountdownObserver = void (*)();

// Five seconds counted down in the cell at the cursor, then "done." over the last
// digit. The observer, when given, only watches: the countdown is the same without
// it.
void Countdown(CountdownObserver afterDigit = nullptr);

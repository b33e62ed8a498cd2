#pragma once

// The console's part of the run, held by the entry function after the signal
// handling: from its making, the terminal is in the run's modes (on Linux: no echo,
// no line editing) and the interrupts call on the console to suspend, resume, poll
// and put the terminal back; when it goes, the terminal is as it was found.
class LConsoleRun {
public:
    LConsoleRun();
    ~LConsoleRun();
    LConsoleRun(const LConsoleRun&) = delete;
    LConsoleRun& operator=(const LConsoleRun&) = delete;
};

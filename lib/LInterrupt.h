#pragma once

#include <exception>

#include "LScopeExit.h"
#include "LThread.h"

// How the program ends when the user interrupts it: Ctrl+C from anywhere in the run,
// and on Linux the other signals that end or stop a program in a terminal. Whatever
// the run was doing, a blinking LED is switched off and the terminal is left as it
// was found before the program ends.
namespace interrupt {

// Raised where Ctrl+C is read as a key (code 3, at the bank prompt): the run unwinds,
// saving nothing, and the entry function then ends the program as Ctrl+C does
// everywhere else.
class Interrupted : public std::exception {
public:
    const char* what() const noexcept override { return "interrupted"; }
};

// Held by the entry function for the whole run: installs the handling of Ctrl+C.
// On Linux it also handles the other signals that end or stop a program in a
// terminal, calling the console's handlers for them, and ignores SIGPIPE, so that
// output nobody reads any more is dropped as on Windows. It puts everything back
// when it goes.
class SignalHandlingForRun {
public:
    SignalHandlingForRun();
    ~SignalHandlingForRun();
    SignalHandlingForRun(const SignalHandlingForRun&) = delete;
    SignalHandlingForRun& operator=(const SignalHandlingForRun&) = delete;
};

// What the console does when the run's interrupts call on it, registered by the
// console itself (LConsoleRun), since the support library knows nothing of
// terminals. Every way out calls `restore`; on Linux a stop (Ctrl+Z) calls `suspend`
// and the going on `resume`, and between signals `poll` runs every 10 ms. A handler
// left null is not called.
struct ConsoleHandlers {
    void (*suspend)() = nullptr;
    void (*resume)() = nullptr;
    void (*poll)() = nullptr;
    void (*restore)() = nullptr;
};
// Replaces the handlers (an empty set: none) from now on.
void SetConsoleHandlers(const ConsoleHandlers& handlers);

// Puts back the thread that an interrupt stopped before StopOnInterrupt.
struct RestoreStoppedOnInterrupt {
    LThread* previous;
    void operator()() const;
};

// While the returned object exists, an interrupt stops the thread, and waits until
// it has ended, before the program ends: so a blinking LED is left off.
[[nodiscard]] LScopeExit<RestoreStoppedOnInterrupt> StopOnInterrupt(LThread& thread);

// Lets go of the interrupt held off below.
struct LetInterruptGo {
    void operator()() const;
};

// While the returned object exists, an interrupt waits before it ends the program,
// so that what the run does meanwhile (a save: it either places its file or removes
// its temporary one) is never left half-way.
[[nodiscard]] LScopeExit<LetInterruptGo> HoldOff();

// Whether an interrupt is waiting to end the program: what holds it off should
// finish without waiting for anything else.
bool Waiting();

// Stops the threads registered above. Called once, on the way out of an interrupt,
// from whichever thread handles it; the run starts and stops no thread afterwards.
void StopThreadsForExit();

// Ends the program as Ctrl+C does, once what the run changed is put back.
[[noreturn]] void EndAsInterrupted();

}  // namespace interrupt

#include "LConsoleRun.h"

#include "LInterrupt.h"
#include "LTerminal_posix.h"

LConsoleRun::LConsoleRun() {
    interrupt::ConsoleHandlers handlers;
    handlers.suspend = &terminal::Suspend;
    handlers.resume = &terminal::Resume;
    handlers.poll = &terminal::Poll;
    handlers.restore = &terminal::RestoreForExit;
    interrupt::SetConsoleHandlers(handlers);
    terminal::StartRun();
}

LConsoleRun::~LConsoleRun() {
    terminal::RestoreForExit();
    interrupt::SetConsoleHandlers(interrupt::ConsoleHandlers{});
}

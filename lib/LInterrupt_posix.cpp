#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <exception>

#include "LInterrupt.h"

// A signal handler may do only async-signal-safe work, and switching an LED off
// means calling the vendor's library and waiting for a thread. So the signals are
// blocked in every thread of the program (threads inherit the mask of the thread
// that starts them, and this is set before any starts) and one thread of ours
// waits for them with sigtimedwait and does the work as ordinary code; between
// signals it lets the console look at the terminal every 10 ms (its poll handler). A thread that
// the program did not start (a runtime's own, started before main) may still take one: its handler
// only hands the signal on to that thread. SIGTTOU stays blocked too, so that output from the
// background still appears instead of stopping the program.
namespace interrupt {
namespace {

// The signals that end or stop a program in a terminal.
const int kHandled[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP};

pthread_t watcher;
bool watching = false;
std::atomic<bool> closing{false};
sigset_t previousMask;
sigset_t waited;
struct sigaction previousActions[NSIG];
struct sigaction previousBrokenPipe;
std::terminate_handler previousTerminate = nullptr;

// The console's handlers, each read as it is called: the watcher, the way out and
// the registering thread may meet.
std::atomic<void (*)()> onSuspend{nullptr};
std::atomic<void (*)()> onResume{nullptr};
std::atomic<void (*)()> onPoll{nullptr};
std::atomic<void (*)()> onRestore{nullptr};

void Call(const std::atomic<void (*)()>& handler) {
    if (void (*const function)() = handler.load()) {
        function();
    }
}

bool Ignored(int number) {
    struct sigaction current {};
    return sigaction(number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

void PassToWatcher(int number) {
    int saved = errno;
    pthread_kill(watcher, number);
    errno = saved;
}

void PassToWatcherFromNowOn(int number) {
    struct sigaction action {};
    action.sa_handler = &PassToWatcher;
    action.sa_mask = waited;
    action.sa_flags = SA_RESTART;
    sigaction(number, &action, nullptr);
}

void RestoreTerminal() {
    Call(onRestore);
}

void Mask(int how, int number) {
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, number);
    pthread_sigmask(how, &only, nullptr);
}

// The process ends by the signal itself, so that its parent sees the usual status.
[[noreturn]] void EndBy(int number) {
    RestoreTerminal();
    std::signal(number, SIG_DFL);
    Mask(SIG_UNBLOCK, number);
    raise(number);
    _exit(128 + number);
}

// Takes a blocked signal that is pending, if one is.
void TakePending(int number) {
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, number);
    const timespec now{0, 0};
    while (sigtimedwait(&only, nullptr, &now) < 0 && errno == EINTR) {
    }
}

// The terminal as it was found while the program is stopped, and nothing drawn until
// the program goes on and has put the terminal back to its use. The SIGCONT that
// continued it is pending by the time raise returns: it is taken here, so that the
// line is drawn anew once. (A process group that no shell controls is not stopped
// at all, and gets none.)
void StopBySignal() {
    Call(onSuspend);
    std::signal(SIGTSTP, SIG_DFL);
    Mask(SIG_UNBLOCK, SIGTSTP);
    raise(SIGTSTP);
    Mask(SIG_BLOCK, SIGTSTP);
    PassToWatcherFromNowOn(SIGTSTP);
    TakePending(SIGCONT);
    Call(onResume);
}

void* Watch(void*) {
    constexpr timespec kPollEvery{0, 10000000};
    for (;;) {
        const int number = sigtimedwait(&waited, nullptr, &kPollEvery);
        if (number < 0) {
            if (closing.load()) {
                return nullptr;
            }
            if (errno == EAGAIN) {
                Call(onPoll);
            }
            continue;
        }
        if (closing.load()) {
            return nullptr;
        }
        if (number == SIGTSTP) {
            StopBySignal();
        } else if (number == SIGCONT) {
            Call(onResume);
        } else {
            StopThreadsForExit();
            EndBy(number);
        }
    }
}

void TerminateAfterRestoringTerminal() {
    RestoreTerminal();
    if (previousTerminate != nullptr) {
        previousTerminate();
    }
    std::abort();
}

void RestoreTerminalAtExit() {
    RestoreTerminal();
}

}  // namespace

SignalHandlingForRun::SignalHandlingForRun() {
    // Output that nobody reads any more (Kavro 5 | head -1) is dropped, as on Windows,
    // instead of ending the program halfway through a run.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &previousBrokenPipe);

    // A signal that the program was started with ignored (as a shell does for a job
    // in the background) stays ignored.
    sigemptyset(&waited);
    sigaddset(&waited, SIGCONT);
    for (int number : kHandled) {
        if (!Ignored(number)) {
            sigaddset(&waited, number);
        }
    }
    sigset_t blocked = waited;
    sigaddset(&blocked, SIGTTOU);
    pthread_sigmask(SIG_BLOCK, &blocked, &previousMask);
    closing = false;
    watching = pthread_create(&watcher, nullptr, &Watch, nullptr) == 0;
    if (!watching) {
        // Nobody would take the signals: they keep their usual effect, and the
        // terminal is left alone, since Ctrl+C could not put it back.
        pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
        return;
    }
    for (int number = 1; number < NSIG; ++number) {
        if (sigismember(&waited, number) == 1) {
            sigaction(number, nullptr, &previousActions[number]);
            PassToWatcherFromNowOn(number);
        }
    }
    static bool exitHandled = false;
    if (!exitHandled) {
        exitHandled = true;
        std::atexit(&RestoreTerminalAtExit);
    }
    previousTerminate = std::set_terminate(&TerminateAfterRestoringTerminal);
}

SignalHandlingForRun::~SignalHandlingForRun() {
    sigaction(SIGPIPE, &previousBrokenPipe, nullptr);
    if (!watching) {
        return;
    }
    RestoreTerminal();
    std::set_terminate(previousTerminate);
    for (int number = 1; number < NSIG; ++number) {
        if (sigismember(&waited, number) == 1) {
            sigaction(number, &previousActions[number], nullptr);
        }
    }
    closing = true;
    pthread_kill(watcher, SIGCONT);
    pthread_join(watcher, nullptr);
    watching = false;
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
}

void SetConsoleHandlers(const ConsoleHandlers& handlers) {
    onSuspend = handlers.suspend;
    onResume = handlers.resume;
    onPoll = handlers.poll;
    onRestore = handlers.restore;
}

void EndAsInterrupted() {
    EndBy(SIGINT);
}

}  // namespace interrupt

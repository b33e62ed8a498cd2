#include "LTerminalModes_posix.h"

#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

namespace terminal_modes {
namespace {

constexpr int kInput = STDIN_FILENO;

std::mutex lock;
bool saved = false;
termios original{};
bool runWanted = false;
bool reading = false;
bool changed = false;  // the terminal holds modes of ours
std::atomic<bool> finished{false};

bool InForeground() {
    return isatty(kInput) && tcgetpgrp(kInput) == getpgrp();
}

termios Wanted() {
    termios modes = original;
    if (!runWanted && !reading) {
        return modes;
    }
    modes.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | IEXTEN));
    // Enter arrives as CR (13) and Ctrl+S and Ctrl+Q as keys, as the console gives them.
    modes.c_iflag &= static_cast<tcflag_t>(~(ICRNL | INLCR | IGNCR | IXON));
    if (reading) {
        modes.c_lflag &= static_cast<tcflag_t>(~ISIG);
    }
    modes.c_cc[VMIN] = 1;
    modes.c_cc[VTIME] = 0;
    return modes;
}

// Sets what the program wants now, when the terminal is its own to set. The caller
// holds the lock.
void Update() {
    if (finished.load() || !InForeground()) {
        return;
    }
    if (!saved) {
        if (tcgetattr(kInput, &original) != 0) {
            return;
        }
        saved = true;
    }
    termios wanted = Wanted();
    if (tcsetattr(kInput, TCSANOW, &wanted) == 0) {
        changed = runWanted || reading;
    }
}

void PutBack() {
    if (changed && InForeground() && tcsetattr(kInput, TCSANOW, &original) == 0) {
        changed = false;
    }
}

}  // namespace

void ApplyForRun() {
    std::lock_guard<std::mutex> guard(lock);
    runWanted = true;
    Update();
}

void BeginKeyRead() {
    std::lock_guard<std::mutex> guard(lock);
    reading = true;
    Update();
}

void EndKeyRead() {
    std::lock_guard<std::mutex> guard(lock);
    reading = false;
    Update();
}

void Suspend() {
    std::lock_guard<std::mutex> guard(lock);
    PutBack();
}

void Resume() {
    std::lock_guard<std::mutex> guard(lock);
    Update();
}

void RestoreForExit() {
    std::lock_guard<std::mutex> guard(lock);
    finished = true;
    PutBack();
}

}  // namespace terminal_modes

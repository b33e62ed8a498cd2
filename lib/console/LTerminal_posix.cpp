// The terminal has one owner, the Terminal object below, and one lock. Under it:
// - the screen: a terminal can be asked where its cursor is, but the answer comes
//   through standard input, late or never, mixed with the user's keys; so the
//   program never asks, and ScreenModel keeps the cursor instead. Every byte the
//   program sends to the console's terminal passes through here, and the window's
//   size is read at every operation, so that a resize is followed;
// - the modes: found once, changed only in the foreground, put back while the
//   program is stopped and on every way out;
// - the keyboard: bytes read and not yet decoded, and keys decoded and not yet
//   handed out. The lock is never held while the reader waits for a key.
// The console is standard output when that is a terminal, else the keyboard's
// terminal (/dev/tty), so that the echo never goes into a file; the console is then
// drawn on only while a dialogue asks the user something, and standard output's
// text is written there too meanwhile. Whatever reads standard output may write it
// to the same terminal as well (tee), when it likes: so each edit of the live line
// there draws the line over itself first, from wherever the cursor is. The keyboard
// is standard input, when that is the program's controlling terminal.
//
// The way out must not wait on a thread that is stuck in a write (a terminal stopped
// by Ctrl+S, a dead link): RestoreForExit takes the lock with a try, as libuv's
// uv_tty_reset_mode does, and puts back the modes even without it, leaving the
// colours rather than cutting another thread's escape sequence in two.
//
// The program is assumed to start in column 0, as after a shell's prompt; every
// message it writes first begins with a line break in any case. Output from other
// programs to the same terminal while this one runs is not followed, except that a
// stop (after which a shell has written) makes the current line drawn anew.
#include "LTerminal_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "LKeyDecoder_posix.h"
#include "LKeyboard.h"
#include "LTerminalModel_posix.h"
#include "LUtf.h"
#include "detail/LWriteAll_posix.h"

namespace terminal {
namespace {

constexpr int kKeyboard = STDIN_FILENO;
constexpr int kStandardOutput = STDOUT_FILENO;
// How long the rest of a key's bytes may take to arrive after its first.
constexpr int kRestOfKeyMs = 50;

using Clock = std::chrono::steady_clock;
// How long a window's size stays the same before the live line is drawn again: a
// user dragging its edge changes it many times a second.
constexpr auto kSizeSettles = std::chrono::milliseconds(200);
// How long a copy of standard output's text (tee's) is given to reach the terminal.
constexpr auto kCopyLands = std::chrono::milliseconds(200);

class Terminal {
public:
    Terminal()
        : keyboard_(isatty(kKeyboard) != 0 && tcgetsid(kKeyboard) == getsid(0)),
          outputIsConsole_(isatty(kStandardOutput) != 0),
          console_(outputIsConsole_ ? kStandardOutput
                   : keyboard_      ? open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC)
                                    : -1) {}

    // The run ---------------------------------------------------------------------

    void StartRun() {
        std::lock_guard<std::mutex> guard(lock_);
        running_ = true;
        foreground_ = InForeground();
        ApplyModes();
    }

    // The screen is held from the stop until the line has been drawn anew: a thread
    // whose wait ran out while the program was stopped (the countdown's, the
    // spinner's) would otherwise draw first, at places that the shell's lines have
    // moved since.
    void Suspend() {
        stopped_.lock();
        RestoreModes();
    }

    void Resume() {
        if (!stopped_.owns_lock()) {
            stopped_.lock();  // going on after a stop the program was not told of (SIGSTOP)
        }
        ApplyModes();
        foreground_ = InForeground();
        RedrawLiveLine();
        stopped_.unlock();
    }

    // A shell need not signal a job that it brings to the foreground (bash sends no
    // SIGCONT to one that runs), and a resize need not come with a signal the
    // program sees in time: both are looked for every 10 ms, besides before each
    // drawing step. Skipped while another thread draws: it looks itself.
    void Poll() {
        std::unique_lock<std::mutex> guard(lock_, std::try_to_lock);
        if (!guard.owns_lock() || finished_ || !running_) {
            return;
        }
        TakeForeground();
        if (console_ < 0 || !Drawable()) {
            return;
        }
        FollowWindow();
        if (model_.Stale() && Clock::now() - sizeChanged_ >= kSizeSettles) {
            LWriteAll(console_, model_.Refresh());
        } else if (copyLanding_ && Clock::now() - copied_ >= kCopyLands) {
            // Standard output's copy has most likely landed by now, wherever it did.
            copyLanding_ = false;
            if (model_.HasLine()) {
                LWriteAll(console_, model_.Repaint());
            }
        }
    }

    void RestoreForExit() {
        finished_ = true;
        if (!TryLockBriefly()) {
            RestoreModes();
            return;
        }
        if (colourChanged_ && console_ >= 0) {
            LWriteAll(console_, ScreenModel::Colours(ScreenModel::kDefaultAttribute));
            colourChanged_ = false;
        }
        RestoreModes();
        lock_.unlock();
    }

    // The screen ------------------------------------------------------------------

    bool WriteStandardOutput(const LChar* text, int32_t count) {
        if (count <= 0) {
            return true;
        }
        if (!outputIsConsole_) {
            const bool written =
                LWriteAll(kStandardOutput, Utf8FromUtf16(text, static_cast<std::size_t>(count)));
            // Drawn only in a dialogue.
            Edit([&](std::string& bytes) {
                bytes += model_.Text(text, count);
                copied_ = Clock::now();
                copyLanding_ = true;
                return true;
            });
            return written;
        }
        return WriteText(text, count);
    }

    // With standard output elsewhere, the dialogue's text is also the console's,
    // from a fresh row: whatever another program (tee) left on the cursor's row is
    // not the program's to know.
    void BeginDialogue() {
        bool fresh = false;
        {
            std::lock_guard<std::mutex> guard(lock_);
            fresh = ++dialogue_ == 1 && !outputIsConsole_;
        }
        if (fresh) {
            WriteText(u"\r\n", 2);
        }
    }

    void EndDialogue() {
        std::lock_guard<std::mutex> guard(lock_);
        --dialogue_;
    }

    bool HasConsole() const { return console_ >= 0; }
    bool HasKeyboard() const { return keyboard_; }

    bool WriteText(const LChar* text, int32_t count) {
        return Edit([&](std::string& bytes) {
            bytes += model_.Text(text, count);
            return true;
        });
    }

    bool GetCursor(LConsolePosition& cursor, int32_t& width) {
        return OnScreen([&](std::string&) {
            cursor = model_.Cursor();
            width = ScreenModel::kLineCells;
            return true;
        });
    }

    bool SetCursor(const LConsolePosition& position) {
        return Edit([&](std::string& bytes) { return model_.MoveCursor(position, bytes); });
    }

    bool WriteCells(const LConsolePosition& at, const LChar* cells, int32_t count,
                    int32_t attribute) {
        return Edit([&](std::string& bytes) {
            return model_.WriteCells(at, cells, count, attribute, bytes);
        });
    }

    bool GetAttribute(uint16_t& attribute) {
        return OnScreen([&](std::string&) {
            attribute = model_.Attribute();
            return true;
        });
    }

    bool SetAttribute(uint16_t attribute) {
        return OnScreen([&](std::string& bytes) {
            colourChanged_ = attribute != ScreenModel::kDefaultAttribute;
            bytes = model_.SetAttribute(attribute);
            return true;
        });
    }

    // The keyboard ----------------------------------------------------------------

    int32_t ReadKey() {
        if (!keyboard_) {
            return keyboard::kNoInput;
        }
        for (;;) {
            {
                std::lock_guard<std::mutex> guard(lock_);
                if (!keys_.empty()) {
                    const int32_t key = keys_.front();
                    keys_.pop_front();
                    return key;
                }
            }
            if (!ReadInput(-1)) {
                return keyboard::kNoInput;
            }
            DecodeInput();
        }
    }

    bool KeyWaiting() {
        if (!keyboard_) {
            return false;
        }
        if (ReadInput(0)) {
            DecodeInput();
        }
        std::lock_guard<std::mutex> guard(lock_);
        // Input that has ended counts as waiting, so that whoever waits for a key
        // reads the end instead of waiting for ever.
        return !keys_.empty() || inputEnded_;
    }

private:
    bool InForeground() const { return keyboard_ && tcgetpgrp(kKeyboard) == getpgrp(); }

    bool Drawable() const { return outputIsConsole_ || dialogue_ > 0; }

    // Brought to the foreground: the run's modes, and the live line again on a fresh
    // row, since the shell has written meanwhile. The caller holds the lock.
    void TakeForeground() {
        const bool foreground = InForeground();
        if (foreground && !foreground_) {
            ApplyModes();
            RedrawLiveLine();
        }
        foreground_ = foreground;
    }

    void RedrawLiveLine() {
        if (!finished_ && console_ >= 0 && Drawable() && model_.HasLine()) {
            FollowWindow();
            LWriteAll(console_, model_.Redraw());
        }
    }

    // Sets the run's modes, when the terminal is the program's to set. The caller
    // holds the lock.
    void ApplyModes() {
        if (finished_ || !running_ || !InForeground()) {
            return;
        }
        if (!saved_) {
            if (tcgetattr(kKeyboard, &original_) != 0) {
                return;
            }
            saved_ = true;
        }
        termios modes = original_;
        modes.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | IEXTEN));
        // Enter arrives as CR (13) and Ctrl+S and Ctrl+Q as keys, as the console gives them.
        modes.c_iflag &= static_cast<tcflag_t>(~(ICRNL | INLCR | IGNCR | IXON));
        modes.c_cc[VMIN] = 1;
        modes.c_cc[VTIME] = 0;
        if (tcsetattr(kKeyboard, TCSANOW, &modes) == 0) {
            changed_ = true;
        }
    }

    // One call that changes nothing but the modes, so that the way out may make it
    // without the lock; original_ is not written again once saved_ is set.
    void RestoreModes() {
        if (changed_ && saved_ && InForeground() &&
            tcsetattr(kKeyboard, TCSANOW, &original_) == 0) {
            changed_ = false;
        }
    }

    // One step on the screen model, under the lock and at the window's size of now;
    // the bytes it makes go to the console. False without a console, or when the step
    // or the write fails.
    template <typename Step>
    bool OnScreen(Step step) {
        if (console_ < 0) {
            return false;
        }
        std::lock_guard<std::mutex> guard(lock_);
        // With standard output elsewhere the console is drawn on only in a dialogue:
        // the spinner and the countdown belong to standard output's own text.
        if (!Drawable()) {
            return false;
        }
        if (running_) {
            TakeForeground();
        }
        FollowWindow();
        std::string bytes;
        return step(bytes) && LWriteAll(console_, bytes);
    }

    // A step that writes on the live line. With standard output elsewhere, whatever
    // copies it to the same terminal (tee) writes there at moments of its own and
    // leaves the cursor wherever its text ends: the line is drawn over itself first,
    // from where the cursor is now, so that the step lands where the model says.
    template <typename Step>
    bool Edit(Step step) {
        return OnScreen([&](std::string& bytes) {
            if (!outputIsConsole_ && model_.HasLine()) {
                bytes += model_.Repaint();
            }
            return step(bytes);
        });
    }

    // Tries and short sleeps rather than std::timed_mutex, whose timed lock the
    // thread sanitizer of this compiler does not follow.
    bool TryLockBriefly() {
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (lock_.try_lock()) {
                return true;
            }
            const timespec pause{0, 2000000};
            nanosleep(&pause, nullptr);
        }
        return false;
    }

    // The window as it is now; a terminal that cannot tell counts as 80 x 25. The
    // caller holds the lock.
    void FollowWindow() {
        winsize size{};
        if (ioctl(console_, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) {
            size.ws_col = 80;
            size.ws_row = 25;
        }
        if (size.ws_col != size_.ws_col || size.ws_row != size_.ws_row) {
            size_ = size;
            sizeChanged_ = Clock::now();
        }
        model_.SetSize(size.ws_col, size.ws_row);
        termios modes{};
        if (tcgetattr(console_, &modes) == 0) {
            model_.SetNewlineReturns((modes.c_oflag & OPOST) != 0 && (modes.c_oflag & ONLCR) != 0);
        }
    }

    // Waits up to timeoutMs (-1: without limit) for bytes; false when none came, at
    // the end of input, or when it cannot be read (a run in the background whose
    // group no shell will ever bring to the foreground reads EIO).
    bool ReadInput(int timeoutMs) {
        pollfd ready{kKeyboard, POLLIN, 0};
        int result;
        do {
            result = poll(&ready, 1, timeoutMs);
        } while (result < 0 && errno == EINTR);
        if (result <= 0) {
            return false;
        }
        char chunk[256];
        ssize_t count;
        do {
            count = read(kKeyboard, chunk, sizeof chunk);
        } while (count < 0 && errno == EINTR);
        if (count <= 0) {
            inputEnded_ = true;
            return false;
        }
        inputEnded_ = false;
        std::lock_guard<std::mutex> guard(lock_);
        input_.append(chunk, static_cast<std::size_t>(count));
        return true;
    }

    // Decodes what has arrived; a key cut short gets a moment to complete.
    void DecodeInput() {
        for (;;) {
            std::unique_lock<std::mutex> guard(lock_);
            std::vector<int32_t> codes;
            decoder_.Feed(input_.data(), input_.size(), codes);
            input_.clear();
            keys_.insert(keys_.end(), codes.begin(), codes.end());
            if (!decoder_.Pending()) {
                return;
            }
            guard.unlock();
            if (!ReadInput(kRestOfKeyMs)) {
                guard.lock();
                codes.clear();
                decoder_.Flush(codes);
                keys_.insert(keys_.end(), codes.begin(), codes.end());
                return;
            }
        }
    }

    const bool keyboard_;
    const bool outputIsConsole_;
    const int console_;

    std::mutex lock_;
    // lock_, held by the signal watcher from Suspend to Resume.
    std::unique_lock<std::mutex> stopped_{lock_, std::defer_lock};
    ScreenModel model_;
    std::atomic<bool> colourChanged_{false};

    bool running_ = false;
    int32_t dialogue_ = 0;
    bool foreground_ = false;
    winsize size_{};
    Clock::time_point sizeChanged_{};
    Clock::time_point copied_{};  // when standard output's text was last drawn here too
    bool copyLanding_ = false;
    std::atomic<bool> finished_{false};
    std::atomic<bool> saved_{false};
    std::atomic<bool> changed_{false};
    termios original_{};

    std::string input_;  // bytes read, not yet decoded
    // The last read of the keyboard found its end, or could not read it.
    std::atomic<bool> inputEnded_{false};
    keyboard::KeyDecoder decoder_;
    std::deque<int32_t> keys_;  // keys decoded, not yet handed out
};

// Made on first use and never destroyed: the way out uses it until the very end.
Terminal& TheTerminal() {
    static Terminal* const terminal = new Terminal;
    return *terminal;
}

}  // namespace

void StartRun() {
    TheTerminal().StartRun();
}
void Suspend() {
    TheTerminal().Suspend();
}
void Resume() {
    TheTerminal().Resume();
}
void Poll() {
    TheTerminal().Poll();
}
void RestoreForExit() {
    TheTerminal().RestoreForExit();
}
bool WriteStandardOutput(const LChar* text, int32_t count) {
    return TheTerminal().WriteStandardOutput(text, count);
}
void BeginDialogue() {
    TheTerminal().BeginDialogue();
}
void EndDialogue() {
    TheTerminal().EndDialogue();
}
bool HasConsole() {
    return TheTerminal().HasConsole();
}
bool WriteText(const LChar* text, int32_t count) {
    return TheTerminal().WriteText(text, count);
}
bool GetCursor(LConsolePosition& cursor, int32_t& width) {
    return TheTerminal().GetCursor(cursor, width);
}
bool SetCursor(const LConsolePosition& position) {
    return TheTerminal().SetCursor(position);
}
bool WriteCells(const LConsolePosition& at, const LChar* cells, int32_t count, int32_t attribute) {
    return TheTerminal().WriteCells(at, cells, count, attribute);
}
bool GetAttribute(uint16_t& attribute) {
    return TheTerminal().GetAttribute(attribute);
}
bool SetAttribute(uint16_t attribute) {
    return TheTerminal().SetAttribute(attribute);
}
bool HasKeyboard() {
    return TheTerminal().HasKeyboard();
}
int32_t ReadKey() {
    return TheTerminal().ReadKey();
}
bool KeyWaiting() {
    return TheTerminal().KeyWaiting();
}

}  // namespace terminal

#include "LTerminal_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

namespace terminal {
namespace {

constexpr int kReplyTimeoutMs = 1000;

std::mutex lock;
std::string pending;

int InputFd() {
    static const int fd = [] {
        int tty = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (tty >= 0) {
            return tty;
        }
        return isatty(STDIN_FILENO) ? STDIN_FILENO : -1;
    }();
    return fd;
}

// Echo and line editing off while the reply is read, so that it never shows.
class QuietInput {
public:
    explicit QuietInput(int fd) : fd_(fd), saved_{} {
        active_ = tcgetattr(fd_, &saved_) == 0;
        if (active_) {
            termios quiet = saved_;
            quiet.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
            quiet.c_cc[VMIN] = 0;
            quiet.c_cc[VTIME] = 0;
            tcsetattr(fd_, TCSANOW, &quiet);
        }
    }
    ~QuietInput() {
        if (active_) {
            tcsetattr(fd_, TCSANOW, &saved_);
        }
    }
    QuietInput(const QuietInput&) = delete;
    QuietInput& operator=(const QuietInput&) = delete;

private:
    int fd_;
    termios saved_;
    bool active_ = false;
};

// Finds ESC [ row ; column R in the bytes read; the bytes around it are key input.
bool ParseReply(std::string& bytes, int& row, int& column) {
    for (std::size_t start = bytes.find('\x1b'); start != std::string::npos;
         start = bytes.find('\x1b', start + 1)) {
        std::size_t i = start + 1;
        if (i >= bytes.size() || bytes[i] != '[') {
            continue;
        }
        int numbers[2] = {0, 0};
        int which = 0;
        bool digits = false;
        for (++i; i < bytes.size(); ++i) {
            char c = bytes[i];
            if (c >= '0' && c <= '9') {
                numbers[which] = numbers[which] * 10 + (c - '0');
                digits = true;
            } else if (c == ';' && which == 0 && digits) {
                which = 1;
                digits = false;
            } else {
                break;
            }
        }
        if (i < bytes.size() && bytes[i] == 'R' && which == 1 && digits) {
            row = numbers[0];
            column = numbers[1];
            bytes.erase(start, i + 1 - start);
            return true;
        }
    }
    return false;
}

}  // namespace

bool WriteAll(int fd, const std::string& bytes) {
    const char* next = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t written = write(fd, next, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

bool QueryCursor(int outputFd, int& row, int& column) {
    std::lock_guard<std::mutex> guard(lock);
    int input = InputFd();
    if (input < 0) {
        return false;
    }
    QuietInput quiet(input);
    if (!WriteAll(outputFd, "\x1b[6n")) {
        return false;
    }
    std::string bytes;
    bool found = false;
    while (!found) {
        pollfd ready{input, POLLIN, 0};
        int result = poll(&ready, 1, kReplyTimeoutMs);
        if (result < 0 && errno == EINTR) {
            continue;
        }
        if (result <= 0) {
            break;
        }
        char chunk[64];
        ssize_t n = read(input, chunk, sizeof chunk);
        if (n <= 0) {
            break;
        }
        bytes.append(chunk, static_cast<std::size_t>(n));
        found = ParseReply(bytes, row, column);
    }
    pending += bytes;
    return found;
}

std::string TakePendingInput() {
    std::lock_guard<std::mutex> guard(lock);
    std::string taken;
    taken.swap(pending);
    return taken;
}

}  // namespace terminal

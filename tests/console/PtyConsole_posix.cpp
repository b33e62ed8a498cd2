#include "PtyConsole_posix.h"

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <stdexcept>

#include "LConsole.h"

namespace {

// Standard output on another descriptor until the object goes.
class StandardOutputOn {
public:
    explicit StandardOutputOn(int fd) : saved_(dup(STDOUT_FILENO)) {
        std::fflush(stdout);
        if (saved_ < 0 || dup2(fd, STDOUT_FILENO) < 0) {
            throw std::runtime_error("standard output cannot be moved");
        }
    }
    ~StandardOutputOn() {
        dup2(saved_, STDOUT_FILENO);
        close(saved_);
    }
    StandardOutputOn(const StandardOutputOn&) = delete;
    StandardOutputOn& operator=(const StandardOutputOn&) = delete;

private:
    int saved_;
};

// How long the terminal stays quiet before what was drawn counts as all there.
constexpr auto kQuiet = std::chrono::milliseconds(100);

}  // namespace

PtyConsole::PtyConsole(int width, int height) {
    winsize size{};
    size.ws_col = static_cast<unsigned short>(width);
    size.ws_row = static_cast<unsigned short>(height);
    if (openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slave_, F_SETFD, FD_CLOEXEC);
    reader_ = std::thread([this] { Read(); });
    if (g_console.GetHandle() == nullptr) {
        StandardOutputOn onTerminal(slave_);
        g_console.Open(LConsole::kStandardOutput);
    }
}

PtyConsole::~PtyConsole() {
    close(slave_);  // the reader then reads the end
    reader_.join();
    close(master_);
}

std::string PtyConsole::Draw(const std::function<void()>& draw) {
    {
        StandardOutputOn onTerminal(slave_);
        draw();
    }
    std::unique_lock<std::mutex> guard(lock_);
    for (;;) {
        const std::size_t seen = received_.size();
        if (!arrived_.wait_for(guard, kQuiet, [&] { return received_.size() != seen; })) {
            break;
        }
    }
    std::string bytes;
    bytes.swap(received_);
    return bytes;
}

void PtyConsole::Read() {
    char chunk[4096];
    for (;;) {
        const ssize_t count = read(master_, chunk, sizeof chunk);
        if (count <= 0) {
            if (count < 0 && errno == EINTR) {
                continue;
            }
            break;  // the slave closed (EIO)
        }
        std::lock_guard<std::mutex> guard(lock_);
        received_.append(chunk, static_cast<std::size_t>(count));
        arrived_.notify_all();
    }
}

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "LProcess.h"

uint32_t LProcessId() {
    return static_cast<uint32_t>(getpid());
}

void LOpenClosedStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        // The lowest free descriptor: the closed one itself.
        const int opened = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) {
            dup2(opened, fd);
            close(opened);
        }
    }
}

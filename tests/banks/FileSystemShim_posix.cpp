// Preloaded into the program (LD_PRELOAD) by the end-to-end tests of the save, to
// stand in for file systems and moments that the test machine does not have:
//   KAVRO_SHIM_NO_PLACE=1          renameat2's RENAME_NOREPLACE gives EINVAL and hard
//                                  links EPERM, as on many FUSE file systems;
//   KAVRO_SHIM_SLOW_RENAME_MS=N    a rename of a save's temporary file waits N ms first.
// Each time it steps in it appends a line to the file KAVRO_SHIM_LOG names.
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

void Log(const char* line) {
    const char* path = std::getenv("KAVRO_SHIM_LOG");
    if (path == nullptr) {
        return;
    }
    const int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd >= 0) {
        const ssize_t ignored = write(fd, line, std::strlen(line));
        static_cast<void>(ignored);
        close(fd);
    }
}

bool NoPlace() {
    const char* value = std::getenv("KAVRO_SHIM_NO_PLACE");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

void MaybeSlow(const char* from) {
    const char* value = std::getenv("KAVRO_SHIM_SLOW_RENAME_MS");
    const size_t length = std::strlen(from);
    if (value == nullptr || length < 4 || std::strcmp(from + length - 4, ".new") != 0) {
        return;
    }
    Log("renaming\n");
    const long ms = std::strtol(value, nullptr, 10);
    timespec pause{ms / 1000, (ms % 1000) * 1000000};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

template <typename Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned int flags) {
    if (NoPlace() && (flags & RENAME_NOREPLACE) != 0) {
        Log("renameat2 refused\n");
        errno = EINVAL;
        return -1;
    }
    MaybeSlow(from);
    using Renameat2 = int (*)(int, const char*, int, const char*, unsigned int);
    return Next<Renameat2>("renameat2")(fromFolder, from, toFolder, to, flags);
}

int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    MaybeSlow(from);
    using Renameat = int (*)(int, const char*, int, const char*);
    return Next<Renameat>("renameat")(fromFolder, from, toFolder, to);
}

int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) {
    if (NoPlace()) {
        Log("linkat refused\n");
        errno = EPERM;
        return -1;
    }
    using Linkat = int (*)(int, const char*, int, const char*, int);
    return Next<Linkat>("linkat")(fromFolder, from, toFolder, to, flags);
}

}  // extern "C"

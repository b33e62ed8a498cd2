#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "LFile.h"
#include "LUtf.h"
#include "LWriteAll_posix.h"
#include "XmlFile.h"

namespace {

// Closes the descriptor when it goes out of scope, unless handed back earlier.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return fd_; }
    bool Close() {
        int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

private:
    int fd_;
};

// A new file under the first free temporary name; O_EXCL refuses any name that is
// taken, a link included, so nothing planted there is ever written through.
int CreateTemporary(const LChar* path, std::string& temporary) {
    for (std::uint32_t attempt = 0; attempt < kTemporaryFileAttempts; ++attempt) {
        temporary = PathBytesFromUtf16(TemporaryFileName(path, attempt).c_str());
        int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

bool Place(const LChar* path, const std::string& temporary, FilePlacement placement) {
    if (placement == FilePlacement::kReplace) {
        return rename(temporary.c_str(), PathBytesFromUtf16(path).c_str()) == 0;
    }
    return LFileMove(Utf16FromPathBytes(temporary.c_str()).c_str(), path);
}

// So that the rename itself survives a crash; a failure here leaves a complete
// file either way, so it is not reported.
void SyncFolderOf(const std::string& path) {
    std::string::size_type slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    Descriptor directory(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.Get() >= 0) {
        fsync(directory.Get());
    }
}

}  // namespace

bool ReadWholeFile(const LChar* path, std::string& bytes) {
    const std::string name = PathBytesFromUtf16(path);
    // Opening a FIFO waits for a writer, and opening a device may act on it.
    struct stat status;
    if (stat(name.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    Descriptor file(open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    // The name may have been given to something else in between.
    if (file.Get() < 0 || fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    bytes.clear();
    char block[65536];
    for (;;) {
        ssize_t got = read(file.Get(), block, sizeof block);
        if (got == 0) {
            return true;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (bytes.size() + static_cast<std::size_t>(got) > kLargestXmlFile) {
            return false;
        }
        bytes.append(block, static_cast<std::size_t>(got));
    }
}

bool SaveFile(const LChar* path, const std::string& bytes, FilePlacement placement) {
    std::string temporary;
    Descriptor file(CreateTemporary(path, temporary));
    if (file.Get() < 0) {
        return false;
    }
    const bool written = LWriteAll(file.Get(), bytes) && fsync(file.Get()) == 0;
    if (file.Close() && written && Place(path, temporary, placement)) {
        SyncFolderOf(temporary);
        return true;
    }
    unlink(temporary.c_str());
    return false;
}

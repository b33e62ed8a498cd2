// Every operation is relative to one descriptor of the program folder, opened once:
// the kernel then never sees a path longer than a name in that folder, so a
// temporary name fits wherever the table's own name does.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "LUtf.h"
#include "TableFolder.h"
#include "detail/LWriteAll_posix.h"

namespace {

// A new table gets the usual permissions; one that replaces a table gets that
// table's.
constexpr mode_t kNewFileMode = 0644;
constexpr mode_t kPrivateFileMode = 0600;

// Closes the descriptor when it goes out of scope.
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
        const int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

private:
    int fd_;
};

std::string Bytes(const LChar* name) {
    return PathBytesFromUtf16(name);
}

// A folder whose path is too long for one call is opened a component at a time.
int OpenFolder(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0 || (errno != ENAMETOOLONG && errno != EACCES)) {
        return fd;
    }
    if (errno == EACCES) {
        // A folder that may be searched but not listed still holds the table.
        return open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    int current = open(path[0] == '/' ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    for (std::string::size_type start = 0; current >= 0 && start < path.size();) {
        std::string::size_type end = path.find('/', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string component = path.substr(start, end - start);
        start = end + 1;
        if (component.empty()) {
            continue;
        }
        const int next = openat(current, component.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        close(current);
        current = next;
    }
    return current;
}

class PosixTableFolder : public TableFolder {
public:
    explicit PosixTableFolder(int folder) : folder_(folder) {}

    LFilePresence Presence(const LChar* name) override {
        const std::string file = Bytes(name);
        struct stat status;
        if (fstatat(folder_.Get(), file.c_str(), &status, 0) == 0) {
            return LFilePresence::kPresent;
        }
        if (errno != ENOENT) {
            return LFilePresence::kUnknown;
        }
        // A link whose target is missing may point into a share out of reach.
        return fstatat(folder_.Get(), file.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0
                   ? LFilePresence::kUnknown
                   : LFilePresence::kAbsent;
    }

    FileStep Read(const LChar* name, uint32_t largest, std::string& bytes) override {
        // A path descriptor opens nothing: a FIFO waits for no writer and a device is
        // not acted on. The file is then opened through it, so that it is the same
        // file whatever the name has become meanwhile.
        Descriptor path(openat(folder_.Get(), Bytes(name).c_str(), O_PATH | O_CLOEXEC));
        struct stat status;
        if (path.Get() < 0 || fstat(path.Get(), &status) != 0 || !S_ISREG(status.st_mode) ||
            status.st_size > static_cast<off_t>(largest)) {
            return FileStep::kFailed;
        }
        // Without blocking: a leased file (Samba's oplocks, NFS delegations) then
        // answers at once, having asked its holder to let go, instead of waiting for
        // the lease break for as long as the system allows.
        constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
        int fd = open(("/proc/self/fd/" + std::to_string(path.Get())).c_str(), kFlags);
        if (fd < 0 && errno == ENOENT) {
            // Without /proc the name is opened again, and must still be the same file.
            fd = openat(folder_.Get(), Bytes(name).c_str(), kFlags);
        }
        if (fd < 0) {
            return errno == EWOULDBLOCK || errno == EAGAIN ? FileStep::kHeld : FileStep::kFailed;
        }
        Descriptor file(fd);
        struct stat opened;
        if (fstat(file.Get(), &opened) != 0 || opened.st_dev != status.st_dev ||
            opened.st_ino != status.st_ino) {
            return FileStep::kFailed;
        }
        return ReadAll(file.Get(), largest, bytes) ? FileStep::kDone : FileStep::kFailed;
    }

    FileStep Keep(const LChar* name, FileKeep& keep) override {
        struct stat status;
        // Through a link: a link is replaced, and the table takes its target's mode.
        if (fstatat(folder_.Get(), Bytes(name).c_str(), &status, 0) != 0) {
            keep = FileKeep{false, true, 0};
            return errno == ENOENT ? FileStep::kDone : FileStep::kFailed;
        }
        keep = FileKeep{true, (status.st_mode & S_IWUSR) != 0,
                        static_cast<uint32_t>(status.st_mode & 0777)};
        return FileStep::kDone;
    }

    FileStep CreateNew(const LChar* name, const std::string& bytes, const FileKeep& keep) override {
        const std::string file = Bytes(name);
        // O_EXCL refuses any name that is taken, a link included, so nothing planted
        // there is ever written through. A private table's copy is private from the
        // start, before a byte of it is written.
        Descriptor created(openat(folder_.Get(), file.c_str(),
                                  O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                  keep.exists ? kPrivateFileMode : kNewFileMode));
        if (created.Get() < 0) {
            return errno == EEXIST ? FileStep::kExists : FileStep::kFailed;
        }
        const bool complete = LWriteAll(created.Get(), bytes) && fsync(created.Get()) == 0 &&
                              (!keep.exists || KeepMode(created.Get(), keep.bits));
        if (created.Close() && complete) {
            return FileStep::kDone;
        }
        unlinkat(folder_.Get(), file.c_str(), 0);
        return FileStep::kFailed;
    }

    FileStep Rename(const LChar* from, const LChar* to, bool replace) override {
        const std::string source = Bytes(from);
        const std::string target = Bytes(to);
        const int folder = folder_.Get();
        FileStep step = FileStep::kDone;
        if (replace) {
            step = renameat(folder, source.c_str(), folder, target.c_str()) == 0
                       ? FileStep::kDone
                       : FileStep::kFailed;
        } else if (renameat2(folder, source.c_str(), folder, target.c_str(), RENAME_NOREPLACE) !=
                   0) {
            step = errno == EEXIST                      ? FileStep::kExists
                   : errno == EINVAL || errno == ENOSYS ? LinkInPlace(source, target)
                                                        : FileStep::kFailed;
        }
        if (step == FileStep::kDone) {
            // So that the move itself survives a crash; the file is complete either way.
            fsync(folder);
        }
        return step;
    }

    FileStep Remove(const LChar* name) override {
        return unlinkat(folder_.Get(), Bytes(name).c_str(), 0) == 0 ? FileStep::kDone
                                                                    : FileStep::kFailed;
    }

private:
    static bool ReadAll(int fd, uint32_t largest, std::string& bytes) {
        bytes.clear();
        char block[65536];
        for (;;) {
            const ssize_t got = read(fd, block, sizeof block);
            if (got == 0) {
                return true;
            }
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return false;
            }
            if (bytes.size() + static_cast<size_t>(got) > largest) {
                return false;
            }
            bytes.append(block, static_cast<size_t>(got));
        }
    }

    // The old table's permissions. A file system that cannot set them may leave the
    // new file as it is, unless that would let more people at it than before.
    static bool KeepMode(int fd, uint32_t bits) {
        if (fchmod(fd, static_cast<mode_t>(bits)) == 0) {
            return true;
        }
        struct stat status;
        return fstat(fd, &status) == 0 && (status.st_mode & 0777 & ~bits) == 0;
    }

    // Where the file system cannot rename without replacing, a hard link and an
    // unlink do the same; kUnsupported where it has no hard links either.
    FileStep LinkInPlace(const std::string& source, const std::string& target) {
        const int folder = folder_.Get();
        if (linkat(folder, source.c_str(), folder, target.c_str(), 0) != 0) {
            return errno == EEXIST ? FileStep::kExists
                   : errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS || errno == EMLINK
                       ? FileStep::kUnsupported
                       : FileStep::kFailed;
        }
        if (unlinkat(folder, source.c_str(), 0) != 0) {
            unlinkat(folder, target.c_str(), 0);
            return FileStep::kFailed;
        }
        return FileStep::kDone;
    }

    Descriptor folder_;
};

}  // namespace

std::unique_ptr<TableFolder> OpenTableFolder(const LString& directory) {
    if (directory.GetLength() == 0) {
        return nullptr;
    }
    const int folder = OpenFolder(Bytes(directory.GetText()));
    if (folder < 0) {
        return nullptr;
    }
    return std::make_unique<PosixTableFolder>(folder);
}

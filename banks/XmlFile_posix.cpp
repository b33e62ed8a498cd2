#include "XmlFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "LUtf.h"
#include "LWriteAll_posix.h"

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

bool WriteFile(const std::string& path, const std::string& bytes) {
    Descriptor file(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (file.Get() < 0) {
        return false;
    }
    bool written = LWriteAll(file.Get(), bytes) && fsync(file.Get()) == 0;
    return file.Close() && written;
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
    Descriptor file(open(Utf8FromUtf16(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
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

bool ReplaceFile(const LChar* path, const std::string& bytes) {
    const std::string target = Utf8FromUtf16(path);
    const std::string temporary = target + ".new";
    if (WriteFile(temporary, bytes) && rename(temporary.c_str(), target.c_str()) == 0) {
        SyncFolderOf(target);
        return true;
    }
    unlink(temporary.c_str());
    return false;
}

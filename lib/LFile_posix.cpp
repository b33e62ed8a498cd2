#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>

#include "LFile.h"
#include "LUtf.h"

// The handle is the descriptor plus one, so that descriptor 0 is not mistaken for
// "no file".
namespace {
int Descriptor(LFileHandle file) {
    return static_cast<int>(reinterpret_cast<intptr_t>(file) - 1);
}
}  // namespace

LFileHandle LFileOpenForAppend(const LChar* path) {
    int fd =
        open(PathBytesFromUtf16(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    return fd < 0 ? nullptr : reinterpret_cast<LFileHandle>(static_cast<intptr_t>(fd) + 1);
}

// Linux releases the descriptor even when close reports an error, so only a handle
// that was no descriptor at all counts as not closed: closing a released number
// again later could close some other file.
bool LFileClose(LFileHandle file) {
    return close(Descriptor(file)) == 0 || errno != EBADF;
}

// Like MoveFileW, never replaces an existing file. Where the file system cannot
// rename without replacing, a hard link and an unlink do the same.
bool LFileMove(const LChar* from, const LChar* to) {
    std::string source = PathBytesFromUtf16(from);
    std::string target = PathBytesFromUtf16(to);
    if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    if (link(source.c_str(), target.c_str()) != 0) {
        return false;
    }
    if (unlink(source.c_str()) != 0) {
        unlink(target.c_str());
        return false;
    }
    return true;
}

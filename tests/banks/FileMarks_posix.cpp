#include <sys/stat.h>

#include "banks/FileMarks.h"

void MarkPrivate(const std::filesystem::path& file) {
    chmod(file.c_str(), 0600);
}

bool IsMarkedPrivate(const std::filesystem::path& file) {
    struct stat status;
    return stat(file.c_str(), &status) == 0 && (status.st_mode & 0777) == 0600;
}

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "LPath.h"
#include "LUtf.h"

const LChar kPathSeparator = u'/';

namespace {

// One line of /proc/self/maps: "start-end perms offset major:minor inode path".
struct Mapping {
    uintptr_t start = 0;
    uintptr_t end = 0;
    unsigned major = 0;
    unsigned minor = 0;
    unsigned long long inode = 0;
    std::string path;
};

bool ReadMapping(const std::string& line, Mapping& mapping) {
    int pathAt = 0;
    unsigned long start = 0;
    unsigned long end = 0;
    if (std::sscanf(line.c_str(), "%lx-%lx %*s %*s %x:%x %llu %n", &start, &end, &mapping.major,
                    &mapping.minor, &mapping.inode, &pathAt) != 5 ||
        pathAt <= 0 || static_cast<size_t>(pathAt) > line.size()) {
        return false;
    }
    mapping.start = start;
    mapping.end = end;
    mapping.path = line.substr(static_cast<size_t>(pathAt));
    return true;
}

// The kernel writes a line break in a name as "\012".
std::string Unescaped(const std::string& path) {
    std::string plain;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path.compare(i, 4, "\\012") == 0) {
            plain += '\n';
            i += 3;
        } else {
            plain += path[i];
        }
    }
    return plain;
}

bool IsFile(const std::string& path, const Mapping& mapping) {
    struct stat status;
    return !path.empty() && path[0] == '/' && stat(path.c_str(), &status) == 0 &&
           major(status.st_dev) == mapping.major && minor(status.st_dev) == mapping.minor &&
           status.st_ino == mapping.inode;
}

// The file mapped for the program's own code: the program, also when it was started
// through the dynamic loader (ld.so ./Kavro), where /proc/self/exe names the loader.
bool CodeFilePath(std::string& path) {
    const auto code = reinterpret_cast<uintptr_t>(&CodeFilePath);
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        Mapping mapping;
        if (!ReadMapping(line, mapping) || code < mapping.start || code >= mapping.end) {
            continue;
        }
        // The name, unless it is not the file mapped (a name that holds "\012" itself,
        // or a file replaced since the program started).
        for (const std::string& candidate : {Unescaped(mapping.path), mapping.path}) {
            if (IsFile(candidate, mapping)) {
                path = candidate;
                return true;
            }
        }
        return false;
    }
    return false;
}

}  // namespace

bool LProgramFilePath(LString& into) {
    std::string path;
    if (!CodeFilePath(path)) {
        into.Empty();
        return false;
    }
    into.Assign(Utf16FromPathBytes(path.data(), path.size()).c_str());
    return true;
}

// Linux takes every path its calls can take as it is.
std::u16string LLongPathForm(const LChar* path) {
    return path != nullptr ? path : u"";
}

#include <unistd.h>

#include <string>

#include "LPath.h"
#include "LUtf.h"

const LChar kPathSeparator = u'/';

bool LProgramFilePath(LString& into) {
    std::string path(4096, '\0');
    ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) {
        into.Empty();
        return false;
    }
    into.Assign(Utf16FromPathBytes(path.data(), static_cast<std::size_t>(length)).c_str());
    return true;
}

// Linux takes every path its calls can take as it is.
std::u16string LLongPathForm(const LChar* path) {
    return path != nullptr ? path : u"";
}

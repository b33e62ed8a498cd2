#include <windows.h>

#include <string>

#include "LPath.h"

const LChar kPathSeparator = u'\\';

namespace {

// Paths of the whole NT namespace: longer ones do not exist.
constexpr DWORD kLongestPath = 32768;

const wchar_t* Wide(const LChar* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

}  // namespace

// A program folder may lie deeper than MAX_PATH: the buffer grows until the whole
// path fits, for a cut path would name some other folder.
bool LProgramFilePath(LString& into) {
    for (DWORD size = MAX_PATH; size <= kLongestPath; size *= 2) {
        LChar* buffer = into.GetBuffer(static_cast<int32_t>(size));
        DWORD length = GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(buffer), size);
        if (length == 0) {
            break;
        }
        if (length < size) {
            into.SetLength(-1);
            return true;
        }
    }
    into.Empty();
    return false;
}

std::u16string LLongPathForm(const LChar* path) {
    if (path == nullptr) {
        return u"";
    }
    const DWORD size = GetFullPathNameW(Wide(path), 0, nullptr, nullptr);
    if (size < MAX_PATH) {
        return path;
    }
    std::u16string full(size, u'\0');
    const DWORD length =
        GetFullPathNameW(Wide(path), size, reinterpret_cast<wchar_t*>(full.data()), nullptr);
    if (length == 0 || length >= size) {
        return path;
    }
    full.resize(length);
    if (full.compare(0, 4, u"\\\\?\\") == 0) {
        return full;
    }
    if (full.compare(0, 2, u"\\\\") == 0) {
        return u"\\\\?\\UNC\\" + full.substr(2);
    }
    return u"\\\\?\\" + full;
}

#include <windows.h>

#include <string>

#include "LPath.h"
#include "LSleep.h"
#include "LWriteAll_win32.h"
#include "XmlFile.h"

namespace {

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// Closes the file when it goes out of scope, unless closed earlier.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (IsOpen()) {
            CloseHandle(handle_);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE Get() const { return handle_; }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Close() {
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) != 0;
    }

private:
    HANDLE handle_;
};

// A new file under the first free temporary name; CREATE_NEW refuses any name that
// is taken, a link included, so nothing planted there is ever written through.
HANDLE CreateTemporary(const LChar* path, std::u16string& temporary) {
    for (std::uint32_t attempt = 0; attempt < kTemporaryFileAttempts; ++attempt) {
        temporary = LLongPathForm(TemporaryFileName(path, attempt).c_str());
        HANDLE file = CreateFileW(Wide(temporary), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            return file;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            return INVALID_HANDLE_VALUE;
        }
    }
    return INVALID_HANDLE_VALUE;
}

// A virus scanner, an indexer or a backup tool often holds a file that was just
// written open for a moment, and a move over it (or of it) is then refused with a
// sharing violation or access denied. Those refusals are waited out for a while;
// any other error fails at once.
constexpr uint32_t kLockedFileWaitMs = 2000;
constexpr uint32_t kLockedFileRetryMs = 50;

bool MoveIntoPlace(const std::u16string& from, const std::u16string& to, DWORD flags) {
    bool moved = false;
    LSleepFor(kLockedFileWaitMs, kLockedFileRetryMs, [&] {
        moved = MoveFileExW(Wide(from), Wide(to), flags) != 0;
        const DWORD error = moved ? ERROR_SUCCESS : GetLastError();
        return error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED;
    });
    return moved;
}

}  // namespace

bool ReadWholeFile(const LChar* path, std::string& bytes) {
    FileHandle file(CreateFileW(Wide(LLongPathForm(path)), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    // Only a file on a disk: never a pipe or a device.
    if (!file.IsOpen() || GetFileType(file.Get()) != FILE_TYPE_DISK ||
        !GetFileSizeEx(file.Get(), &size) ||
        size.QuadPart > static_cast<LONGLONG>(kLargestXmlFile)) {
        return false;
    }
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), &bytes[filled], static_cast<DWORD>(bytes.size() - filled), &got,
                      nullptr) ||
            got == 0) {
            return false;
        }
        filled += got;
    }
    return true;
}

bool SaveFile(const LChar* path, const std::string& bytes, FilePlacement placement) {
    std::u16string temporary;
    FileHandle file(CreateTemporary(path, temporary));
    if (!file.IsOpen()) {
        return false;
    }
    const bool written = LWriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get()) != 0;
    const DWORD moveFlags = MOVEFILE_WRITE_THROUGH |
                            (placement == FilePlacement::kReplace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (file.Close() && written && MoveIntoPlace(temporary, LLongPathForm(path), moveFlags)) {
        return true;
    }
    DeleteFileW(Wide(temporary));
    return false;
}

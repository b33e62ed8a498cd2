// Names are reached in their long-path form, so that a folder deeper than MAX_PATH
// works. A virus scanner, an indexer or a backup program often holds a file open
// for a moment; what it refuses meanwhile is reported as held, for the caller to
// try again.
#include <windows.h>

#include <string>

#include "LPath.h"
#include "TableFolder.h"
#include "detail/LWriteAll_win32.h"

namespace {

constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

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

bool IsHeld(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED;
}

bool IsTaken(DWORD error) {
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

class WindowsTableFolder : public TableFolder {
public:
    explicit WindowsTableFolder(const LString& directory) : folder_(directory.GetText()) {}

    LFilePresence Presence(const LChar* name) override {
        LFileStatus status{};
        return LFileStatusLookUp((folder_ + name).c_str(), status);
    }

    FileStep Read(const LChar* name, uint32_t largest, std::string& bytes) override {
        // Shared every way: a program that holds the table open, even for writing,
        // does not keep it from being read.
        FileHandle file(CreateFileW(Path(name), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsOpen()) {
            const DWORD error = GetLastError();
            return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION
                       ? FileStep::kHeld
                       : FileStep::kFailed;
        }
        LARGE_INTEGER size;
        // Only a file on a disk: never a pipe or a device.
        if (GetFileType(file.Get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.Get(), &size) ||
            size.QuadPart > static_cast<LONGLONG>(largest)) {
            return FileStep::kFailed;
        }
        bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
        for (std::size_t filled = 0; filled < bytes.size();) {
            DWORD got = 0;
            if (!ReadFile(file.Get(), &bytes[filled], static_cast<DWORD>(bytes.size() - filled),
                          &got, nullptr)) {
                return GetLastError() == ERROR_LOCK_VIOLATION ? FileStep::kHeld : FileStep::kFailed;
            }
            if (got == 0) {
                return FileStep::kFailed;
            }
            filled += got;
        }
        return FileStep::kDone;
    }

    FileStep Keep(const LChar* name, FileKeep& keep) override {
        const DWORD attributes = GetFileAttributesW(Path(name));
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            keep = FileKeep{false, true, 0};
            const DWORD error = GetLastError();
            return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                       ? FileStep::kDone
                       : FileStep::kFailed;
        }
        keep = FileKeep{true, (attributes & FILE_ATTRIBUTE_READONLY) == 0,
                        attributes & kKeptAttributes};
        return FileStep::kDone;
    }

    FileStep CreateNew(const LChar* name, const std::string& bytes, const FileKeep& keep) override {
        // CREATE_NEW refuses any name that is taken, a link included, so nothing
        // planted there is ever written through.
        FileHandle file(CreateFileW(Path(name), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsOpen()) {
            return IsTaken(GetLastError()) ? FileStep::kExists : FileStep::kFailed;
        }
        const bool written = LWriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get()) != 0;
        if (file.Close() && written &&
            (keep.bits == 0 || SetFileAttributesW(Path(name), keep.bits) != 0)) {
            return FileStep::kDone;
        }
        DeleteFileW(Path(name));
        return FileStep::kFailed;
    }

    FileStep Rename(const LChar* from, const LChar* to, bool replace) override {
        const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
        const std::u16string source = LongPath(from);
        if (MoveFileExW(Wide(source), Path(to), flags)) {
            return FileStep::kDone;
        }
        const DWORD error = GetLastError();
        return IsTaken(error)  ? FileStep::kExists
               : IsHeld(error) ? FileStep::kHeld
                               : FileStep::kFailed;
    }

    FileStep Remove(const LChar* name) override {
        if (DeleteFileW(Path(name))) {
            return FileStep::kDone;
        }
        return IsHeld(GetLastError()) ? FileStep::kHeld : FileStep::kFailed;
    }

private:
    static const wchar_t* Wide(const std::u16string& text) {
        return reinterpret_cast<const wchar_t*>(text.c_str());
    }
    std::u16string LongPath(const LChar* name) const {
        return LLongPathForm((folder_ + name).c_str());
    }
    // Valid until the next call.
    const wchar_t* Path(const LChar* name) {
        path_ = LongPath(name);
        return Wide(path_);
    }

    std::u16string folder_;
    std::u16string path_;
};

}  // namespace

// Names in the folder are reached by their paths; the folder is only looked at.
std::unique_ptr<TableFolder> OpenTableFolder(const LString& directory) {
    if (directory.GetLength() == 0) {
        return nullptr;
    }
    const std::u16string folder = LLongPathForm(directory.GetText());
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(folder.c_str()));
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return nullptr;
    }
    return std::make_unique<WindowsTableFolder>(directory);
}

#include "LLog.h"

#include "LPath.h"

namespace {
void AppendSeparatorIfMissing(LString& path) {
    int32_t length = path.GetLength();
    if (length > 0 && path.GetAt(length - 1) != kPathSeparator) {
        path.AppendChar(kPathSeparator);
    }
}
}  // namespace

LLog::LLog(const LChar* directory, const LChar* fileName) {
    created_ = LDateTime::GetCurrentTime();
    if (directory != nullptr) {
        path_.Assign(directory);
        AppendSeparatorIfMissing(path_);
    }
    if (fileName != nullptr) {
        path_.Append(fileName);
    } else {
        // Format gives "Invalid Time" itself when the date cannot be shown.
        path_.Append(created_.Format(u"%Y-%m-%d.log"));
    }
}

LLog::~LLog() {
    if (file_ != nullptr) {
        LFileClose(file_);
    }
}

bool LLog::SetPath(const LChar* directory) {
    LString newPath(directory);
    AppendSeparatorIfMissing(newPath);

    int32_t lastSeparator = path_.FindReverse(1, kPathSeparator, -1);
    // Already there only when the file sits directly in that directory: a mere text
    // prefix would also accept a subdirectory, or "C:\log" for "C:\logs\x.log". An
    // empty directory stands for a bare file name.
    int32_t directoryLength = newPath.GetLength();
    if (lastSeparator + 1 == directoryLength &&
        path_.CompareNoCase(newPath.GetText(), directoryLength) == 0) {
        return true;
    }

    int32_t nameStart = lastSeparator + 1;  // 0 when the path is a bare file name
    newPath.Append(path_.Right(path_.GetLength() - nameStart));

    if (file_ == nullptr) {
        path_ = newPath;
        return true;
    }
    if (!LFileClose(file_)) {
        return false;
    }
    file_ = nullptr;
    if (!LFileMove(path_.GetText(), newPath.GetText())) {
        return false;
    }
    path_ = newPath;
    return true;
}

bool LLog::OpenFile() {
    if (file_ == nullptr) {
        file_ = LFileOpenForAppend(path_.GetText());
    }
    return file_ != nullptr;
}

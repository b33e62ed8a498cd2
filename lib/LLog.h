#pragma once

#include "LDateTime.h"
#include "LFile.h"
#include "LString.h"

// Where the run's log file lives: a directory and a file name, by default the date
// on which the object was made ("%Y-%m-%d.log"). The program only forms and moves
// the path; it never writes a log.
class LLog {
public:
    explicit LLog(const LChar* directory = nullptr, const LChar* fileName = nullptr);
    virtual ~LLog();
    LLog(const LLog&) = delete;
    LLog& operator=(const LLog&) = delete;

    // Moves the log into the directory; an open log file is moved with it.
    bool SetPath(const LChar* directory);

    const LString& GetPath() const { return path_; }
    const LDateTime& GetCreationTime() const { return created_; }

    // Opens the log file at its path for appending. The program never calls it;
    // it lets SetPath's move of an open file be exercised.
    bool OpenFile();
    bool IsFileOpen() const { return file_ != nullptr; }

private:
    LString path_;
    LFileHandle file_ = nullptr;
    LDateTime created_;
};

#pragma once

#include <cstdint>

#include "LLog.h"
#include "LString.h"
#include "LThread.h"

// Carries the whole run of the program on the process's own thread.
class CMainThread : public LThread {
public:
    CMainThread() = default;
    ~CMainThread() override = default;

    // The exit code: 0 on every path of a selection; a command answers 0, 1 or 2.
    int32_t Run() override;

    const LString& GetProgramDirectory() const { return programDirectory_; }

private:
    LLog log_;
    // The executable's directory with its trailing separator; the bank table file
    // lives there.
    LString programDirectory_;
};

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

    // Always 0: the program's exit code on every path.
    int32_t Run() override;

    const LString& GetProgramDirectory() const { return programDirectory_; }

private:
    LLog log_;
    // The executable's directory with its trailing separator; the bank table file
    // lives there.
    LString programDirectory_;
};

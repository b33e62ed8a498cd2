#pragma once

#include <cstdint>

#include "LString.h"

struct CommandRow;

// What the command line asks for. Only the first argument names a command, so that
// every command line a selection reads keeps its meaning: /list5 still selects disc
// 5, and -list still gives the usage text.
struct Command {
    enum class Reading : uint8_t {
        kSelection,  // no command: the arguments are a disc list
        kCommand,    // the command of `row`
        kMisused,    // a command with an operand missing, extra or unreadable
    };
    Reading reading;
    const CommandRow* row;  // with kCommand
    int32_t bank;           // the operand N, 1..127, of a command that takes a bank
};

Command ReadCommand(int32_t argumentCount, const LChar* const* arguments);

// How a command ends, as command-line tools end.
constexpr int32_t kCommandDone = 0;
constexpr int32_t kCommandFailed = 1;
constexpr int32_t kCommandMisused = 2;

#pragma once

#include <cstdint>

#include "LString.h"

// The commands that the program answers besides a disc list. Only the first
// argument names one, so that every command line a selection reads keeps its
// meaning: /list5 still selects disc 5, and -list still gives the usage text.
enum class CommandKind {
    kSelection,  // no command: the arguments are a disc list
    kHelp,       // /? or --help
    kList,       // /list or --list
    kBlink,      // /blink N or --blink N
    kRenumber,   // /renumber N or --renumber N
    kForget,     // /forget N or --forget N
    kNumber,     // /number or --number
    kVersion,    // /version or --version
    kMisused,    // a command with an operand missing, extra or unreadable
};

struct Command {
    CommandKind kind;
    int32_t bank;  // the operand N, 1..127, of /blink, /renumber and /forget
};

// What the command line asks for.
Command ReadCommand(int32_t argumentCount, const LChar* const* arguments);

// How a command ends, as command-line tools end.
constexpr int32_t kCommandDone = 0;
constexpr int32_t kCommandFailed = 1;
constexpr int32_t kCommandMisused = 2;

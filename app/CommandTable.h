#pragma once

#include <cstdint>
#include <vector>

#include "BankTableFile.h"
#include "CDeviceTable.h"
#include "CommandLine.h"
#include "LString.h"

// What a command is given to run, as far as it needs them: the bank table's start,
// the device table, and the table read when it is there.
struct CommandRun {
    const BankTableStart* start;
    CDeviceTable* devices;
    BankTableFile* table;
    int32_t bank;  // the operand, for a command that takes a bank
};

// What a command needs before it runs.
enum class CommandNeeds : uint8_t {
    kNothing,          // not even the vendor library
    kTable,            // the table, read when it is there
    kDeviceAndTable,   // an attached device too
    kDeviceAndFolder,  // an attached device, and the table's folder; it reads the table itself
};

enum class CommandOperand : uint8_t { kNone, kBank };

// One command: its two words, its operand, what it needs, the function that runs it
// and its line in the help. The command-line reader, the help and the dispatch all
// walk the table.
struct CommandRow {
    const LChar* slashWord;
    const LChar* dashWord;
    CommandOperand operand;
    CommandNeeds needs;
    int32_t (*run)(const CommandRun& run);
    const LChar* helpLine;
};

// Every command, in the help's order.
const std::vector<CommandRow>& CommandTable();

#include "CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CommandTable.h"

namespace {

std::string Reading(const std::vector<std::u16string>& arguments) {
    std::vector<const LChar*> argv{u"Kavro"};
    for (const auto& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    const Command command = ReadCommand(static_cast<int32_t>(argv.size()), argv.data());
    switch (command.reading) {
        case Command::Reading::kSelection:
            return "selection";
        case Command::Reading::kMisused:
            return "misused";
        case Command::Reading::kCommand:
            break;
    }
    // The command by its word after the "--".
    const std::u16string word(command.row->dashWord + 2);
    std::string reading(word.begin(), word.end());
    if (command.row->operand == CommandOperand::kBank) {
        reading += " " + std::to_string(command.bank);
    }
    return reading;
}

// Only the whole first argument names a command, under ASCII case folding; any
// other command line stays a disc list.
TEST(ReadCommand, OnlyTheWholeFirstArgumentNamesACommand) {
    const struct {
        std::vector<std::u16string> arguments;
        const char* reading;
    } cases[] = {
        {{}, "selection"},
        {{u"/5"}, "selection"},
        {{u"/list5"}, "selection"},
        {{u"-list"}, "selection"},
        {{u"--3"}, "selection"},
        {{u"--blink=5"}, "selection"},
        {{u"/list:"}, "selection"},
        {{u" /list"}, "selection"},
        {{u"/l\u0130st"}, "selection"},  // no letter folds into an ASCII one but its own
        {{u"5", u"/list"}, "selection"},
        {{u"/LIST"}, "list"},
        {{u"--List"}, "list"},
        {{u"/?"}, "help"},
        {{u"--HELP"}, "help"},
        {{u"/blink", u"2"}, "blink 2"},
        {{u"--Renumber", u"127"}, "renumber 127"},
        {{u"/renumber", u"007"}, "renumber 7"},
        {{u"/FORGET", u"3"}, "forget 3"},
        {{u"--forget", u"127"}, "forget 127"},
        {{u"/Number"}, "number"},
        {{u"--number"}, "number"},
        {{u"--version"}, "version"},
        {{u"/VERSION"}, "version"},
        {{u"/forget3"}, "selection"},
        {{u"-version"}, "selection"},
        {{u"--version=1"}, "selection"},
        // Operands missing, extra or unreadable.
        {{u"/list", u"5"}, "misused"},
        {{u"/?", u"x"}, "misused"},
        {{u"/blink"}, "misused"},
        {{u"/blink", u"2", u"3"}, "misused"},
        {{u"/blink", u"0"}, "misused"},
        {{u"/blink", u"128"}, "misused"},
        {{u"/blink", u"99999999999999999992"}, "misused"},
        {{u"/blink", u"+5"}, "misused"},
        {{u"/blink", u" 5"}, "misused"},
        {{u"/blink", u"5x"}, "misused"},
        {{u"/blink", u""}, "misused"},
        {{u"/forget"}, "misused"},
        {{u"/forget", u"0"}, "misused"},
        {{u"/forget", u"2", u"2"}, "misused"},
        {{u"/number", u"2"}, "misused"},
        {{u"--version", u"x"}, "misused"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Reading(c.arguments), c.reading)
            << ::testing::PrintToString(std::vector<std::u16string>(c.arguments));
    }
}

}  // namespace

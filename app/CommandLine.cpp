#include "CommandLine.h"

#include "CarouselGeometry.h"
#include "CommandTable.h"

namespace {

LChar FoldAscii(LChar ch) {
    return ch >= u'A' && ch <= u'Z' ? static_cast<LChar>(ch - u'A' + u'a') : ch;
}

// The whole argument, under ASCII case folding only: no other letter folds into an
// ASCII one.
bool SameWord(const LChar* argument, const LChar* word) {
    for (; *word != 0; ++argument, ++word) {
        if (FoldAscii(*argument) != *word) {
            return false;
        }
    }
    return *argument == 0;
}

// A bank: nothing but ASCII digits, worth 1 to 127.
bool ReadBank(const LChar* text, int32_t& bank) {
    int32_t value = 0;
    const LChar* p = text;
    for (; IsAsciiDigit(*p); ++p) {
        value = value * 10 + (*p - u'0');
        if (value > carousel::kHighestBank) {
            return false;
        }
    }
    if (p == text || *p != 0 || value < carousel::kLowestBank) {
        return false;
    }
    bank = value;
    return true;
}

}  // namespace

Command ReadCommand(int32_t argumentCount, const LChar* const* arguments) {
    const Command selection{Command::Reading::kSelection, nullptr, 0};
    const Command misused{Command::Reading::kMisused, nullptr, 0};
    if (argumentCount < 2) {
        return selection;
    }
    for (const CommandRow& row : CommandTable()) {
        if (!SameWord(arguments[1], row.slashWord) && !SameWord(arguments[1], row.dashWord)) {
            continue;
        }
        const int32_t operands = argumentCount - 2;
        if (row.operand == CommandOperand::kNone) {
            return operands == 0 ? Command{Command::Reading::kCommand, &row, 0} : misused;
        }
        int32_t bank = 0;
        if (operands != 1 || !ReadBank(arguments[2], bank)) {
            return misused;
        }
        return {Command::Reading::kCommand, &row, bank};
    }
    return selection;
}

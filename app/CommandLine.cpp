#include "CommandLine.h"

#include "CarouselGeometry.h"

namespace {

struct CommandWord {
    const LChar* word;
    CommandKind kind;
};

const CommandWord kWords[] = {
    {u"/list", CommandKind::kList},
    {u"--list", CommandKind::kList},
    {u"/blink", CommandKind::kBlink},
    {u"--blink", CommandKind::kBlink},
    {u"/renumber", CommandKind::kRenumber},
    {u"--renumber", CommandKind::kRenumber},
    {u"/forget", CommandKind::kForget},
    {u"--forget", CommandKind::kForget},
    {u"/number", CommandKind::kNumber},
    {u"--number", CommandKind::kNumber},
    {u"/version", CommandKind::kVersion},
    {u"--version", CommandKind::kVersion},
    {u"/?", CommandKind::kHelp},
    {u"--help", CommandKind::kHelp},
};

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
    if (argumentCount < 2) {
        return {CommandKind::kSelection, 0};
    }
    CommandKind kind = CommandKind::kSelection;
    for (const CommandWord& word : kWords) {
        if (SameWord(arguments[1], word.word)) {
            kind = word.kind;
            break;
        }
    }
    const int32_t operands = argumentCount - 2;
    switch (kind) {
        case CommandKind::kSelection:
            return {kind, 0};
        case CommandKind::kHelp:
        case CommandKind::kList:
        case CommandKind::kNumber:
        case CommandKind::kVersion:
            return {operands == 0 ? kind : CommandKind::kMisused, 0};
        case CommandKind::kBlink:
        case CommandKind::kRenumber:
        case CommandKind::kForget: {
            int32_t bank = 0;
            if (operands != 1 || !ReadBank(arguments[2], bank)) {
                return {CommandKind::kMisused, 0};
            }
            return {kind, bank};
        }
        case CommandKind::kMisused:
            break;
    }
    return {CommandKind::kMisused, 0};
}

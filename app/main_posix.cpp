#include <string>
#include <vector>

#include "LProcess.h"
#include "LUtf.h"
#include "ProgramObjects.h"

// Arguments arrive as UTF-8 and are handed on as UTF-16, as Windows gives them.
int main(int argc, char** argv) {
    LOpenClosedStandardStreams();
    std::vector<std::u16string> texts;
    texts.reserve(static_cast<std::size_t>(argc));
    for (int i = 0; i < argc; ++i) {
        texts.push_back(Utf16FromUtf8(argv[i]));
    }
    std::vector<const LChar*> arguments;
    for (const auto& text : texts) {
        arguments.push_back(text.c_str());
    }
    arguments.push_back(nullptr);
    return RunProgram(argc, arguments.data());
}

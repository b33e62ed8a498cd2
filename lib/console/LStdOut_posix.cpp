#include "LStdOut.h"
#include "LTerminal_posix.h"

// A closed or broken output is not the run's business: the text is dropped.
void StdOutWrite(const LChar* text, int32_t length) {
    terminal::WriteStandardOutput(text, length);
}

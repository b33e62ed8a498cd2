#include "LProcess.h"
#include "ProgramObjects.h"

// The wide-character entry of the C runtime (linked with -municode).
extern "C" int wmain(int argc, wchar_t** argv) {
    LOpenClosedStandardStreams();
    return RunProgram(argc, reinterpret_cast<const LChar* const*>(argv));
}

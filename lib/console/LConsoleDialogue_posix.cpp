#include "LConsoleDialogue.h"
#include "LTerminal_posix.h"

LConsoleDialogue::LConsoleDialogue() {
    terminal::BeginDialogue();
}

LConsoleDialogue::~LConsoleDialogue() {
    terminal::EndDialogue();
}

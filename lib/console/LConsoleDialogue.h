#pragma once

// While it exists, what the program asks the user reaches the console even when
// standard output goes elsewhere (a file, a pipe into tee): text written to standard
// output is also written to the keyboard's console (the terminal, CONOUT$), from a
// fresh row, and the console output handle draws there, where the typed digits are
// echoed and the prompt's error is shown. Standard output receives the same bytes as
// without it. Outside a dialogue, with standard output elsewhere, the console output
// handle draws nowhere: the spinner and the countdown go with standard output's text.
// With standard output on the console it changes nothing.
class LConsoleDialogue {
public:
    LConsoleDialogue();
    ~LConsoleDialogue();
    LConsoleDialogue(const LConsoleDialogue&) = delete;
    LConsoleDialogue& operator=(const LConsoleDialogue&) = delete;
};

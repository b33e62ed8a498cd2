#pragma once

// Ends the run when a fuzz target finds the code and its model apart: libFuzzer
// then keeps the input that did it, as it does for a crash.
[[noreturn]] void FuzzFail(const char* what);

inline void FuzzCheck(bool condition, const char* what) {
    if (!condition) {
        FuzzFail(what);
    }
}

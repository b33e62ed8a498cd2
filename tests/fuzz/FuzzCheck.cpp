#include "FuzzCheck.h"

#include <cstdio>
#include <cstdlib>

void FuzzFail(const char* what) {
    std::fprintf(stderr, "model mismatch: %s\n", what);
    std::abort();
}

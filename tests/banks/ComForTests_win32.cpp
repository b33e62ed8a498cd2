#include <objbase.h>

#include "ComForTests.h"

ComForTests::ComForTests() {
    CoInitialize(nullptr);
}

ComForTests::~ComForTests() {
    CoUninitialize();
}

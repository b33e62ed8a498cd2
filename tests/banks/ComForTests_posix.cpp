#include "ComForTests.h"

ComForTests::ComForTests() = default;

ComForTests::~ComForTests() = default;

#pragma once

// COM started on the calling thread for the object's lifetime, as the program's
// main thread starts it before the XML document is used. Nothing on Linux.
class ComForTests {
public:
    ComForTests();
    ~ComForTests();
    ComForTests(const ComForTests&) = delete;
    ComForTests& operator=(const ComForTests&) = delete;
};

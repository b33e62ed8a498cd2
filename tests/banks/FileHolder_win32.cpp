// Holds a file open as a virus scanner does, sharing reading and writing but not
// deletion, so that nobody can move over it meanwhile; for the end-to-end tests of
// the save:  file_holder PATH MILLISECONDS
// Prints "held" once the file is open.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        return 2;
    }
    HANDLE file = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    Sleep(std::wcstoul(argv[2], nullptr, 10));
    CloseHandle(file);
    return 0;
}

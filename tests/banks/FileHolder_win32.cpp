// Holds a file open for the end-to-end tests of the table file:
//   file_holder PATH MILLISECONDS           as a virus scanner does: reading, sharing
//                                           reading and writing but not deletion, so
//                                           that nobody can move over it meanwhile;
//   file_holder PATH MILLISECONDS writing   as a program that writes it does, sharing
//                                           everything.
// Prints "held" once the file is open.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3 && argc != 4) {
        return 2;
    }
    const bool writing = argc == 4 && std::wcscmp(argv[3], L"writing") == 0;
    HANDLE file =
        CreateFileW(argv[1], writing ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | (writing ? FILE_SHARE_DELETE : 0), nullptr,
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

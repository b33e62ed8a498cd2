#include <windows.h>

#include "LSleep.h"

// Windows XP's kernel32 has no GetTickCount64, yet the static thread library that
// std::thread and std::mutex are built on imports it, and Windows refuses to start a
// program with a missing import. This object defines the import's address slot
// itself, so the linker never takes it from kernel32: the function below uses the
// real GetTickCount64 where Windows has it, and the performance counter elsewhere.
// It must be linked as an object: a library member would be searched too late.

namespace {

using TickCount64Function = ULONGLONG(WINAPI*)();

ULONGLONG WINAPI TickCount64() {
    // Looked up at each call; the thread library asks only while it waits.
    const auto kernel = reinterpret_cast<TickCount64Function>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
    return kernel != nullptr ? kernel() : LTickCountReal();
}

}  // namespace

// The 32-bit name of the import's slot: leading underscore, standard-call suffix.
extern "C" {
TickCount64Function kavroTickCount64Import __asm__("__imp__GetTickCount64@0") = &TickCount64;
}

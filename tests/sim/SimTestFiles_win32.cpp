#include <windows.h>

#include "SimTestFiles.h"

std::filesystem::path TestProgramFolder() {
    std::wstring name(32768, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    name.resize(length);
    return std::filesystem::path(name).parent_path();
}

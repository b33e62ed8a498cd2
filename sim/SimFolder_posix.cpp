#include <dlfcn.h>

#include <system_error>

#include "SimFolder.h"

std::filesystem::path SimLibraryFolder() {
    // The shared object that holds this very function is the library.
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&SimLibraryFolder), &info) == 0 ||
        info.dli_fname == nullptr) {
        return {};
    }
    std::error_code error;
    std::filesystem::path file = std::filesystem::absolute(info.dli_fname, error);
    return error ? std::filesystem::path() : file.parent_path();
}

#include "SimTestFiles.h"

std::filesystem::path TestProgramFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

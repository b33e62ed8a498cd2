#pragma once

#include <filesystem>

// The folder that holds the file of this library (the DLL or shared object, not the
// program that loaded it); empty when it cannot be found.
std::filesystem::path SimLibraryFolder();

#pragma once

#include <filesystem>
#include <string>

// Whole-file reading and writing for the simulator's tests (binary: what the
// library writes is compared byte for byte).
std::string ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, const std::string& text);

// The folder of the running test program, where the built libraries sit too.
std::filesystem::path TestProgramFolder();

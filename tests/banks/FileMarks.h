#pragma once

#include <filesystem>

// What a save must keep of the table it replaces, set and read the platform's way:
// on Linux a mode that only the owner may read (0600), on Windows the hidden
// attribute.
void MarkPrivate(const std::filesystem::path& file);
bool IsMarkedPrivate(const std::filesystem::path& file);

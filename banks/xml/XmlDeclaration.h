#pragma once

#include <string>

// The XML declaration of a saved bank table. Both builds write the table in UTF-8,
// whatever encoding the file read had; a declaration kept from that file must then
// name UTF-8, or a reader decodes the bytes as what it names (UTF-16: no document at
// all; windows-1252: every character outside ASCII changed).

// The pseudo-attributes of a declaration (`version="1.0" encoding="UTF-16"`, the
// text between "<?xml" and "?>") with the encoding, where one is named, as UTF-8;
// everything else as it was.
std::u16string Utf8DeclarationData(const std::u16string& data);

// Whether the bytes are UTF-8 (a byte order mark allowed) and their declaration, if
// they have one, names no other encoding: only such a file may be saved.
bool IsUtf8AsDeclared(const std::string& bytes);

#pragma once

#include <string>

// The platform's own conversion from a named encoding to UTF-8, the one its XML
// parser uses for a document that declares that encoding: libxml2's encoding
// handlers on Linux, MLang's names and MultiByteToWideChar on Windows. False when
// the platform knows no such encoding or the bytes are not text in it.
bool ConvertToUtf8(const std::string& encoding, const std::string& bytes, std::string& utf8);

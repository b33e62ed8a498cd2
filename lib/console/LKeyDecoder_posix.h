#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "LKeyboard.h"

// What a terminal sends for keys, turned into the codes the Windows console gives:
// a character as its UTF-16 units, a key without one as 0 or 0xE0 and a second
// code. Escape sequences are read as ECMA-48 frames them (CSI with any parameters
// and intermediates, SS3 with one byte, ESC before a key for Alt) and consumed
// whole: no byte of one ever comes out as a character. A key with modifiers gives
// the key's own codes; a sequence the console has no key for gives 0xE0 and
// kIgnoredKey, which the number prompt passes over.
namespace keyboard {

// Decodes the keys at the front of the bytes, appends their codes and returns how
// many bytes they took. Unless `complete`, a sequence or character that the bytes
// end in the middle of is left for later bytes; when nothing more will come, it is
// decoded as far as it goes (a lone ESC is the Escape key).
std::size_t DecodeKeys(const std::string& bytes, bool complete, std::vector<int32_t>& codes);

}  // namespace keyboard

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "LKeyboard.h"

// What a terminal sends for keys, turned into the codes the Windows console gives:
// a character as its UTF-16 units, a key without one as 0 or 0xE0 and a second
// code. Everything else a terminal may send is consumed whole and gives nothing.
//
// The grammar, ECMA-48's with SS3 taking parameters as some terminals send them:
//   ESC [ or CSI (U+009B)    parameters 0x30-0x3F, intermediates 0x20-0x2F, a final
//                            0x40-0x7E: the cursor, editing and function keys by
//                            their final and first number, with any modifiers; any
//                            other (mouse reports in SGR form, focus reports, pasted
//                            text's markers, CSI ... u) is no key. CSI M without
//                            parameters is an X10 mouse report: three more units,
//                            raw bytes or, in UTF-8 mouse mode, two-byte characters.
//                            The Linux console's F1 to F5 are ESC [ [ A to E.
//   ESC O or SS3 (U+008F)    parameters, then a final: F1 to F4, the cursor keys,
//                            and the keypad in application mode, whose digits
//                            (ESC O p to y) are the only digits a sequence yields.
//   ESC ] P X ^ _, or OSC DCS SOS PM APC (U+009D U+0090 U+0098 U+009E U+009F)
//                            a string, up to ST (ESC \ or U+009C), or BEL for OSC.
//   ESC, intermediates, a final: no key.
//   ESC and a key: Alt and that key, which is no key of the prompt's.
//   CAN and SUB abort any of these; any other C0 control inside one drops it and is
//   read as its own key; DEL inside one is ignored. C1 controls arrive UTF-8
//   encoded; bytes that are not UTF-8 are ignored.
// The decoder keeps no more than a few bytes of any key, whatever its length: an
// overlong sequence is consumed to its end and dropped. Decoding is iterative and
// takes time linear in the input.
namespace keyboard {

class KeyDecoder {
public:
    // Decodes bytes that follow those given before, appending the codes of every key
    // they complete.
    void Feed(const char* bytes, std::size_t count, std::vector<int32_t>& codes);
    // Whether a key that the bytes began waits for the rest of its bytes.
    bool Pending() const { return state_ != State::kGround || utf8Left_ > 0; }
    // Nothing more is coming for now: a lone ESC is the Escape key, and any other key
    // cut short is dropped.
    void Flush(std::vector<int32_t>& codes);

private:
    enum class State {
        kGround,
        kEscape,
        kEscapeIntermediate,
        kCsi,
        kSs3,
        kLinuxFunctionKey,
        kMouse,
        kString,
        kStringEscape,
    };

    void Unit(char32_t unit, std::vector<int32_t>& codes);
    void Ground(char32_t unit, std::vector<int32_t>& codes);
    void Escape(char32_t unit);
    void Control(char32_t unit, std::vector<int32_t>& codes);
    void Sequence(char32_t unit, std::vector<int32_t>& codes);
    void Final(char32_t final, std::vector<int32_t>& codes);
    void Start(State state);
    void Emit(int32_t prefix, int32_t code, std::vector<int32_t>& codes);

    State state_ = State::kGround;
    bool alt_ = false;        // an ESC came before this sequence
    bool oscString_ = false;  // BEL ends the string
    int32_t number_ = 0;      // the first parameter, capped
    int32_t parameters_ = 0;  // how many parameter bytes
    bool privateMarker_ = false;
    bool intermediates_ = false;
    int32_t mouseUnitsLeft_ = 0;
    // A character whose UTF-8 bytes are not all here yet.
    char32_t utf8_ = 0;
    char32_t utf8Least_ = 0;
    int32_t utf8Left_ = 0;
    bool utf8Raw_ = false;  // its lead byte may be a raw byte of a mouse report
};

// Decodes the keys of the bytes with a decoder of its own; returns how many bytes
// they took. Unless `complete`, a key that the bytes end in the middle of is left
// for later bytes; otherwise it is flushed. Never more than the bytes given.
std::size_t DecodeKeys(const std::string& bytes, bool complete, std::vector<int32_t>& codes);

}  // namespace keyboard

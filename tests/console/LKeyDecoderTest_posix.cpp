#include "detail/LKeyDecoder_posix.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using keyboard::DecodeKeys;

namespace {

constexpr int32_t E = keyboard::kExtendedKey;
constexpr int32_t F = keyboard::kFunctionKey;

std::vector<int32_t> Codes(const std::string& bytes) {
    std::vector<int32_t> codes;
    EXPECT_EQ(DecodeKeys(bytes, true, codes), bytes.size()) << bytes.substr(0, 40);
    return codes;
}

// What terminals send, each byte string decoded at once, and fed a byte at a time
// to one decoder, which must give the same codes.
TEST(DecodeKeys, EveryTerminalSequenceIsConsumedWholeAndOnlyKeysGiveCodes) {
    const struct {
        std::string bytes;
        std::vector<int32_t> codes;
    } cases[] = {
        {"1\x7f\n\r\x03", {'1', 8, 13, 13, 3}},
        {"\x1b[A\x1bOD\x1b[3~\x1b[6~", {E, 72, E, 75, E, 83, E, 81}},
        // Modifiers: Shift+Up, Ctrl+Right, Alt+Left, Ctrl+Delete, Shift+F5.
        {"\x1b[1;2A\x1b[1;5C\x1b[1;3D\x1b[3;5~\x1b[15;2~", {E, 72, E, 77, E, 75, E, 83, F, 63}},
        {"\x1bOP\x1b[[E\x1b[24~", {F, 59, F, 63, E, 134}},
        // Konsole's modified F1 and F3 (SS3 with a parameter), 8-bit CSI Insert.
        {"\x1bO2P\x1bO5R\xc2\x9b"
         "2~",
         {F, 59, F, 61, E, 82}},
        // The keypad in application mode gives its digits; nothing else does.
        {"\x1bOp\x1bOy\x1bOM", {'0', '9', 13}},
        // No keys: mouse reports (X10, UTF-8 mode, SGR), focus, pasted text's markers,
        // a protocol never enabled, a number of no key, private parameters.
        {"\x1b[M 1#\x1b[M\xc2\x80"
         "5\xc3\xbf\x1b[<0;12;5M\x1b[I\x1b[O",
         {}},
        {"\x1b[200~5\x1b[201~\x1b[53;5u\x1b[99;9;9;9;9;9;9;9z\x1b[?1;2c", {'5'}},
        // Strings: OSC ended by BEL or ST, DCS, APC, PM and SOS by ST, also in C1 form.
        {"\x1b]0;1\x07\x1b]2;3\x1b\\\x1bP4\x1b\\\x1b_5\x1b\\\x1b^6\x1b\\\x1bX7\x1b\\", {}},
        {"\xc2\x9d"
         "8\xc2\x9c\xc2\x90"
         "9\xc2\x9c",
         {}},
        // Alt and a key: Alt+5, Alt+Up, an intermediate sequence, ESC \ alone.
        {"\x1b"
         "5\x1b\x1b[A\x1b(B\x1b\\",
         {}},
        // CAN and SUB abort; any other control drops the sequence and is a key.
        {"\x1b[1\x18"
         "7\x1b[2\x1a"
         "8\x1b[1;\x03\x1b]x\r",
         {'7', '8', 3, 13}},
        // The Linux console's ESC [ [ takes a letter only.
        {"\x1b[[5", {'5'}},
        // Characters: UTF-8, a pair for U+1F4BF; bytes that are no UTF-8 and an
        // overlong '5' give nothing.
        {"\xc3\xa9\xf0\x9f\x92\xbf\xff\xe0\x80\xb5", {0xE9, 0xD83D, 0xDCBF}},
        {"\x1b", {27}},
        // A megabyte of ESC, of CSI digits, and an unending string.
        {std::string(1 << 20, '\x1b'), {}},  // Alt and Escape, over and over
        {"\x1b[" + std::string(1 << 20, '5') + "~6", {'6'}},
        {"\x1b]" + std::string(1 << 20, '5') +
             "\x07"
             "7",
         {'7'}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.bytes.substr(0, 40)));
        EXPECT_EQ(Codes(c.bytes), c.codes);
        keyboard::KeyDecoder decoder;
        std::vector<int32_t> codes;
        for (char byte : c.bytes) {
            decoder.Feed(&byte, 1, codes);
        }
        decoder.Flush(codes);
        EXPECT_EQ(codes, c.codes);
    }
}

// Bytes of one key split over two reads wait for their rest; nothing is taken early,
// and never more than was given.
TEST(DecodeKeys, ASplitKeyWaitsForItsRest) {
    for (const std::string whole :
         {"\x1b[1;5C", "\x1bOP", "\x1b[[A", "\xe2\x82\xac", "\x1b[M 1#", "\x1b]0;x\x07",
          "\x1b"
          "5"}) {
        for (std::size_t cut = 1; cut < whole.size(); ++cut) {
            std::vector<int32_t> codes;
            const std::string first = "7" + whole.substr(0, cut);
            ASSERT_EQ(DecodeKeys(first, false, codes), 1u) << cut;
            const std::string rest = first.substr(1) + whole.substr(cut);
            EXPECT_EQ(DecodeKeys(rest, false, codes), rest.size());
            EXPECT_EQ(codes.front(), '7');
        }
    }
}

}  // namespace

#include "LKeyDecoder_posix.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using keyboard::DecodeKeys;

namespace {

constexpr int32_t E = keyboard::kExtendedKey;
constexpr int32_t kIgnored = keyboard::kIgnoredKey;

std::vector<int32_t> Codes(const std::string& bytes) {
    std::vector<int32_t> codes;
    EXPECT_EQ(DecodeKeys(bytes, true, codes), bytes.size()) << bytes;
    return codes;
}

TEST(DecodeKeys, GivesTheConsolesCodesAndNeverASequencesBytes) {
    const struct {
        std::string bytes;
        std::vector<int32_t> codes;
    } cases[] = {
        {"1\x7f\n\r", {'1', 8, 13, 13}},
        {"\x1b[A\x1bOD\x1b[3~\x1b[6~", {E, 72, E, 75, E, 83, E, 81}},
        // Modifiers: Shift+Up, Ctrl+Right, Alt+Left, Ctrl+Delete, Shift+F5.
        {"\x1b[1;2A\x1b[1;5C\x1b[1;3D\x1b[3;5~\x1b[15;2~", {E, 72, E, 77, E, 75, E, 83, 0, 63}},
        {"\x1bOP\x1b[[E\x1b[24~", {0, 59, 0, 63, E, 134}},
        // Unknown: a mouse report, bracketed paste's start, a number of no key.
        {"\x1b[<0;12;5M\x1b[200~\x1b[99;9;9;9;9;9;9;9z", {E, kIgnored, E, kIgnored, E, kIgnored}},
        // X10 mouse reports with their raw bytes (the second in UTF-8 mouse mode), focus
        // in and out: no digit of theirs is typed.
        {"\x1b[M 1#\x1b[M\xc2\x80"
         "5\xc3\xbf\x1b[I\x1b[O",
         {E, kIgnored, E, kIgnored, E, kIgnored, E, kIgnored}},
        // Alt and a key, Alt and a cursor key, a sequence with an intermediate.
        {"\x1b"
         "5\x1b\x1b[A\x1b(B",
         {E, kIgnored, E, kIgnored, E, kIgnored}},
        {"\x1bOp\x1bOM", {'0', 13}},  // the keypad in application mode
        {"\xc3\xa9\xf0\x9f\x92\xbf\xff", {0xE9, 0xD83D, 0xDCBF, 0xFFFD}},
        {"\x1b", {27}},
        {"\x1b[1;\x03", {E, kIgnored, 3}},  // broken off: the byte is read as what it is
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Codes(c.bytes), c.codes) << ::testing::PrintToString(c.bytes);
    }
}

// Bytes of one key split over two reads wait for the rest; nothing is taken early.
TEST(DecodeKeys, ASplitKeyWaitsForItsRest) {
    for (const std::string whole : {"\x1b[1;5C", "\x1bOP", "\x1b[[A", "\xe2\x82\xac", "\x1b[M 1#",
                                    "\x1b"
                                    "5"}) {
        for (std::size_t cut = 1; cut < whole.size(); ++cut) {
            std::vector<int32_t> codes;
            const std::string first = "7" + whole.substr(0, cut);
            ASSERT_EQ(DecodeKeys(first, false, codes), 1u) << cut;
            const std::string rest = first.substr(1) + whole.substr(cut);
            EXPECT_EQ(DecodeKeys(rest, false, codes), rest.size());
            EXPECT_EQ(codes.front(), '7');
            EXPECT_EQ(codes.size(), whole[0] == '\x1b' ? 3u : 2u) << cut;
        }
    }
}

}  // namespace

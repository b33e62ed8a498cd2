#include <gtest/gtest.h>

#include <string>

#include "BankDialogue.h"
#include "LInterrupt.h"
#include "LKeyboard.h"
#include "LThread.h"
#include "ScriptedKeys.h"
#include "StdOutCapture.h"
#include "VirtualClock.h"

namespace {

struct Answer {
    std::string ending;  // "bank N", "interrupted" or "no input"
    uint64_t waitedMs;   // the prompt's own sleeps, by the virtual clock
};

// The prompt asks for device 5's bank; device 9 holds bank 2, device 5 bank 3.
constexpr int32_t kAsked = 5;

Answer Ask(const std::u16string& keys, bool waiting, double stretch = 1.0) {
    BankClaims claims;
    claims.Hold(2, 9);
    claims.Hold(3, kAsked);
    ScriptedKeys source(keys, waiting);
    VirtualClock clock(stretch);
    StdOutCapture capture;
    Answer answer;
    try {
        answer.ending = "bank " + std::to_string(ReadBankNumber(claims, kAsked));
    } catch (const interrupt::Interrupted&) {
        answer.ending = "interrupted";
    } catch (const keyboard::NoConsoleInput&) {
        answer.ending = "no input";
    }
    capture.Finish();
    answer.waitedMs = clock.ElapsedOf(LThreadCurrentId());
    return answer;
}

TEST(BankPrompt, KeysGiveABankOrEndTheRun) {
    struct Case {
        std::u16string keys;
        bool waiting;
        const char* ending;
        uint64_t waitedMs;
    };
    const Case cases[] = {
        {u"5\r", false, "bank 5", 0},
        {u"1279\b5\r", false, "bank 125", 0},              // a fourth digit is not taken
        {std::u16string(u"5\0;", 3), false, "bank 5", 0},  // F1 ends the input like Enter
        {u"128\r5\r", false, "bank 5", 3000},              // refused: the error shows 3 s
        {u"2\r5\r", false, "bank 5", 3000},                // another device holds bank 2
        {u"3\r", false, "bank 3", 0},                      // its own bank is no other's
        {u"\r", false, "no input", 3000},
        {u"\rx7\r", true, "bank 7", 0},  // a key takes the error away and is not input
        {u"1\x03", false, "interrupted", 0},
        {u"\r\x03", true, "interrupted", 0},  // also while the error shows
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "keys " << std::string(c.keys.begin(), c.keys.end()));
        Answer answer = Ask(c.keys, c.waiting);
        EXPECT_EQ(answer.ending, c.ending);
        EXPECT_EQ(answer.waitedMs, c.waitedMs);
    }
}

// Sleeps that last 15.6 ms instead of 10, as on Windows' default timer, do not make
// the error stay longer than its 3 s, give or take one sleep.
TEST(BankPrompt, TheErrorShowsThreeSecondsByTheClock) {
    Answer answer = Ask(u"0\r5\r", false, 1.56);
    EXPECT_EQ(answer.ending, "bank 5");
    EXPECT_GE(answer.waitedMs, 3000u);
    EXPECT_LT(answer.waitedMs, 3016u);
}

}  // namespace

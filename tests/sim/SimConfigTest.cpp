#include "SimConfig.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Events = std::vector<SimConfig::Event>;

SimConfig Parse(const std::string& text, std::vector<std::string>* problems = nullptr) {
    std::vector<std::string> found;
    SimConfig config = ParseSimConfig(text, found);
    if (problems != nullptr) {
        *problems = found;
    } else {
        EXPECT_TRUE(found.empty()) << "first problem: " << found.front();
    }
    return config;
}

void ExpectDefaults(const SimConfig& config) {
    EXPECT_EQ(config.devices, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(config.moveMs, 1500);
    EXPECT_EQ(config.cdDownMs, 1000);
    EXPECT_EQ(config.busyAtStartMs, 0);
    EXPECT_EQ(config.rejectMoves, 0);
    EXPECT_TRUE(config.neverReady.empty());
    EXPECT_TRUE(config.attach.empty());
    EXPECT_TRUE(config.detach.empty());
    EXPECT_EQ(config.trace, "");
}

TEST(SimConfigTest, NothingToReadGivesTheDefaults) {
    for (const char* text : {"", "\n\n", "; only a comment\n# and another\n", "   \t\n"}) {
        SCOPED_TRACE(text);
        ExpectDefaults(Parse(text));
    }
}

TEST(SimConfigTest, EachKeySetsItsValue) {
    struct Case {
        const char* text;
        std::function<void(const SimConfig&)> check;
    };
    const Case cases[] = {
        {"devices = 3, 7,12",
         [](const SimConfig& c) {
             EXPECT_EQ(c.devices, (std::vector<int32_t>{3, 7, 12}));
         }},
        {"devices =", [](const SimConfig& c) { EXPECT_TRUE(c.devices.empty()); }},
        {"devices = 5", [](const SimConfig& c) { EXPECT_EQ(c.devices, std::vector<int32_t>{5}); }},
        {"move_ms = 20", [](const SimConfig& c) { EXPECT_EQ(c.moveMs, 20); }},
        {"move_ms = 0", [](const SimConfig& c) { EXPECT_EQ(c.moveMs, 0); }},
        {"cd_down_ms=5", [](const SimConfig& c) { EXPECT_EQ(c.cdDownMs, 5); }},
        {"busy_at_start_ms = 2147483647",
         [](const SimConfig& c) { EXPECT_EQ(c.busyAtStartMs, 2147483647); }},
        {"reject_moves = 2", [](const SimConfig& c) { EXPECT_EQ(c.rejectMoves, 2); }},
        {"never_ready = 1, 4",
         [](const SimConfig& c) {
             EXPECT_EQ(c.neverReady, (std::vector<int32_t>{1, 4}));
         }},
        {"attach = 100:2, 250 : 3",
         [](const SimConfig& c) {
             EXPECT_EQ(c.attach, (Events{{100, 2}, {250, 3}}));
         }},
        {"detach = 300:0",
         [](const SimConfig& c) {
             EXPECT_EQ(c.detach, (Events{{300, 0}}));
         }},
        {"trace = run trace.txt", [](const SimConfig& c) { EXPECT_EQ(c.trace, "run trace.txt"); }},
        {"Move_MS = 7", [](const SimConfig& c) { EXPECT_EQ(c.moveMs, 7); }},
        {"move_ms = 7\nmove_ms = 9", [](const SimConfig& c) { EXPECT_EQ(c.moveMs, 9); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        c.check(Parse(c.text));
    }
}

TEST(SimConfigTest, CommentsBlankLinesAndLineEndsAreSkipped) {
    const std::string text =
        "\xEF\xBB\xBF; simulated carousels\r\n"
        "\r\n"
        "devices = 4, 9   ; two of them\r\n"
        "# move_ms = 1\r\n"
        "   move_ms\t=\t25   # quick\r\n"
        "trace = out.txt;kept short\n"
        "cd_down_ms = 3";
    SimConfig config = Parse(text);
    EXPECT_EQ(config.devices, (std::vector<int32_t>{4, 9}));
    EXPECT_EQ(config.moveMs, 25);
    EXPECT_EQ(config.cdDownMs, 3);
    EXPECT_EQ(config.trace, "out.txt");
}

TEST(SimConfigTest, AnUnreadableLineIsReportedOnceAndChangesNothing) {
    const char* lines[] = {
        "move_ms",         "= 5",
        "speed = 3",       "move_ms = fast",
        "move_ms = -1",    "move_ms = 2147483648",
        "move_ms = 1 2",   "reject_moves = 1.5",
        "devices = 1,,2",  "devices = 1,",
        "devices = 1, 1",  "devices = -1",
        "never_ready = x", "attach = 100",
        "attach = x:1",    "detach = 5:1:2",
        "detach = 5:",     "attach = 10:1,",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        std::vector<std::string> problems;
        SimConfig config = Parse(line, &problems);
        ExpectDefaults(config);
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_NE(problems[0].find("line 1"), std::string::npos) << problems[0];
        EXPECT_NE(problems[0].find(line), std::string::npos) << problems[0];
    }
}

TEST(SimConfigTest, GoodLinesAroundBadOnesStillApply) {
    std::vector<std::string> problems;
    SimConfig config = Parse(
        "move_ms = 10\n"
        "devices = 1,,2\n"
        "\n"
        "cd_down_ms = soon\n"
        "reject_moves = 3\n",
        &problems);
    EXPECT_EQ(config.moveMs, 10);
    EXPECT_EQ(config.rejectMoves, 3);
    EXPECT_EQ(config.devices, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(config.cdDownMs, 1000);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("line 2"), std::string::npos) << problems[0];
    EXPECT_NE(problems[1].find("line 4"), std::string::npos) << problems[1];
}

}  // namespace

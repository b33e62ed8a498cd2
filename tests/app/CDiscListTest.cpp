#include "CDiscList.h"
#include "LUtf.h"

#include <gtest/gtest.h>

#include "StdOutCapture.h"

#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "\r\n   This utility is designated to control Kavro CD Library devices via USB port.\r\n"
    "It selects the indicated CD or CDs. Numbers must started form 1. Version 1.01.\r\n"
    "Published by the Kavro Tools project, free software for Kavro CD Library owners.\r\n"
    "Project page: https://kavro-tools.example.org/\r\n"
    "\r\nKavro [Number] [Number1-NumberN] ...\r\n\r\nExample: Kavro 25 186-189 3\r\n"
    "It will select one by one disks 25, 186, 187, 188, 189, 3.\r\n";

struct Outcome {
    std::vector<int32_t> discs;
    bool valid;
    std::string output;
};

Outcome Build(const std::vector<std::u16string>& arguments) {
    std::vector<const LChar*> argv{u"C:\\Tools\\Kavro.exe"};
    for (const auto& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    StdOutCapture capture;
    Outcome outcome;
    {
        CDiscList list(static_cast<int32_t>(argv.size()), argv.data());
        outcome.valid = list.IsValid();
        for (LPosition p = list.GetHeadPosition(); p != nullptr;) {
            outcome.discs.push_back(list.GetNext(p));
        }
    }
    outcome.output = capture.Finish();
    return outcome;
}

struct Case {
    std::vector<std::u16string> arguments;
    std::vector<int32_t> discs;
    bool valid;
};

TEST(CDiscList, ReadsNumbersAndRangesOrRejectsWithTheUsageText) {
    const Case cases[] = {
        {{u"25", u"186-189", u"3"}, {25, 186, 187, 188, 189, 3}, true},
        {{u"7", u"7"}, {7, 7}, true},
        {{u"189-186"}, {}, true},
        {{u"5-3"}, {}, true},
        {{u"1-3-5"}, {1, 2, 3}, true},
        {{u"3--5"}, {}, true},
        {{u"12abc"}, {12}, true},
        {{u"007"}, {7}, true},
        {{u"150", u"151"}, {150, 151}, true},
        {{u"4-4"}, {4}, true},
        {{}, {}, false},
        {{u"0"}, {}, false},
        {{u"x"}, {}, false},
        {{u"5-"}, {}, false},
        {{u"0-3"}, {}, false},
        {{u"3-0"}, {}, false},
        {{u"-5"}, {}, false},
        {{u"-"}, {}, false},
        {{u""}, {}, false},
        {{u"25", u"x", u"3"}, {25}, false},
        // Bounds: nothing lies above bank 127, slot 150.
        {{u"19050"}, {19050}, true},
        {{u"19051"}, {}, false},
        {{u"1", u"19049-19051"}, {1}, false},
        {{u"1-2147483647"}, {}, false},
        {{u"2147483648"}, {}, false},
        {{u"4294967297"}, {}, false},  // would wrap to disc 1
        {{u"99999999999-3"}, {}, false},
        {{u"3--99999999999"}, {}, false},
        {{u"00000000000000000025"}, {25}, true},  // leading zeros are not overflow
        {{u"3--20000"}, {}, true},                // a backwards range names no disc
        // Only ASCII digits are digits: Arabic-Indic five, full-width five, Devanagari
        // seven, ranges of Arabic-Indic and full-width digits; among others, 5 and 3
        // still read as a range written backwards.
        {{u"\u0665"}, {}, false},
        {{u"\uff15"}, {}, false},
        {{u"\u096d"}, {}, false},
        {{u"\u0663-\u0665"}, {}, false},
        {{u"\uff12-\uff11"}, {}, false},
        {{u"5\u0663-3\uff17"}, {}, true},
        // 100,000 characters: more than Windows takes in a whole command line.
        {{std::u16string(100000, u'9')}, {}, false},
        {{std::u16string(100000, u'-')}, {}, false},
        {{std::u16string(100000, u'x')}, {}, false},
        {{std::u16string(99997, u'0') + u"2-1"}, {}, true},
    };
    for (const auto& c : cases) {
        std::string label;
        for (const auto& a : c.arguments) {
            label += Utf8FromUtf16(a.data(), a.size()) + " ";
        }
        Outcome outcome = Build(c.arguments);
        EXPECT_EQ(outcome.valid, c.valid) << label;
        if (c.valid) {
            EXPECT_EQ(outcome.discs, c.discs) << label;
            EXPECT_EQ(outcome.output, "") << label;
        } else {
            EXPECT_EQ(outcome.output, kUsage) << label;  // written once
        }
    }
}

TEST(CDiscList, AcceptsTheWholeDiscRange) {
    Outcome outcome = Build({u"1-19050"});
    ASSERT_TRUE(outcome.valid);
    ASSERT_EQ(outcome.discs.size(), 19050u);
    EXPECT_EQ(outcome.discs.front(), 1);
    EXPECT_EQ(outcome.discs.back(), 19050);
}

TEST(CDiscList, RejectedRangeAllocatesNothing) {
    const std::u16string argument = u"1-2147483647";
    const LChar* argv[] = {u"Kavro", argument.c_str()};
    StdOutCapture capture;
    CDiscList list(2, argv);
    capture.Finish();
    EXPECT_FALSE(list.IsValid());
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.Pool().BlockCount(), 0);
}

}  // namespace

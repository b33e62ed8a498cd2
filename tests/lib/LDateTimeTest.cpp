#include "LDateTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>
#include <string>

#include "TextHelpers.h"

namespace {

struct CalendarCase {
    uint16_t year, month, day, hour, minute, second;
    double serial;
    uint16_t dayOfWeek, dayOfYear;
};

std::string Describe(const LCalendarParts& p) {
    return std::to_string(p.year) + "-" + std::to_string(p.month) + "-" + std::to_string(p.day) +
           " " + std::to_string(p.hour) + ":" + std::to_string(p.minute) + ":" +
           std::to_string(p.second) + " dow " + std::to_string(p.dayOfWeek) + " doy " +
           std::to_string(p.dayOfYear);
}

TEST(LDateTimeCalendar, ConvertsBothWays) {
    const CalendarCase cases[] = {
        {1899, 12, 30, 0, 0, 0, 0.0, 7, 364},       {1899, 12, 31, 0, 0, 0, 1.0, 1, 365},
        {1899, 12, 29, 6, 0, 0, -1.25, 6, 363},     {2026, 12, 6, 0, 0, 0, 46362.0, 1, 340},
        {2000, 2, 29, 12, 0, 0, 36585.5, 3, 60},    {9999, 12, 31, 0, 0, 0, 2958465.0, 6, 365},
        {100, 1, 1, 0, 0, 0, -657434.0, 6, 1},      {1900, 2, 27, 0, 0, 0, 59.0, 3, 58},
        {1900, 2, 28, 0, 0, 0, 60.0, 4, 59},        {1900, 3, 1, 0, 0, 0, 61.0, 5, 60},
        {2000, 12, 31, 18, 0, 0, 36891.75, 1, 366}, {1752, 9, 14, 21, 0, 0, -53797.875, 5, 258},
    };
    for (const auto& c : cases) {
        double serial = 12345.0;
        ASSERT_TRUE(
            LDateTime::SerialFromParts(c.year, c.month, c.day, c.hour, c.minute, c.second, serial))
            << c.year << "-" << c.month << "-" << c.day;
        EXPECT_DOUBLE_EQ(serial, c.serial) << c.year << "-" << c.month << "-" << c.day;

        LCalendarParts p{};
        ASSERT_TRUE(LDateTime::PartsFromSerial(c.serial, p)) << c.serial;
        const LCalendarParts expected{c.second, c.minute, c.hour,      c.day,
                                      c.month,  c.year,   c.dayOfWeek, c.dayOfYear};
        EXPECT_EQ(Describe(p), Describe(expected)) << "serial " << c.serial;
    }
}

TEST(LDateTimeCalendar, SerialFromPartsRejectsImpossibleParts) {
    const uint16_t cases[][6] = {
        {10000, 1, 1, 0, 0, 0}, {2026, 0, 1, 0, 0, 0},  {2026, 13, 1, 0, 0, 0},
        {2026, 1, 0, 0, 0, 0},  {2026, 1, 32, 0, 0, 0}, {1900, 2, 29, 0, 0, 0},
        {2100, 2, 29, 0, 0, 0}, {2000, 2, 30, 0, 0, 0}, {2026, 4, 31, 0, 0, 0},
        {2026, 1, 1, 24, 0, 0}, {2026, 1, 1, 0, 60, 0}, {2026, 1, 1, 0, 0, 60},
    };
    for (const auto& c : cases) {
        double serial = 0.0;
        EXPECT_FALSE(LDateTime::SerialFromParts(c[0], c[1], c[2], c[3], c[4], c[5], serial))
            << c[0] << "-" << c[1] << "-" << c[2] << " " << c[3] << ":" << c[4] << ":" << c[5];
    }
}

TEST(LDateTimeCalendar, PartsFromSerialRejectsValuesOutsideTheRange) {
    const double cases[] = {2958465.5,
                            2958466.0,
                            -657435.0,
                            -657434.5,
                            std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity()};
    for (double serial : cases) {
        LCalendarParts p{};
        EXPECT_FALSE(LDateTime::PartsFromSerial(serial, p)) << serial;
        EXPECT_EQ(Text(LDateTime(serial).Format(u"%Y")), u"Invalid Time") << serial;
    }
}

bool IsLeap(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysIn(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return kDays[month - 1] + (month == 2 && IsLeap(year) ? 1 : 0);
}

// Every day of the valid range, against a calendar that simply counts forwards.
TEST(LDateTimeCalendar, EveryDayOfTheRangeFollowsItsPredecessor) {
    int year = 100, month = 1, day = 1, dayOfWeek = 6, dayOfYear = 1;
    int failures = 0;
    for (int32_t serial = -657434; serial <= 2958465 && failures < 5; ++serial) {
        LCalendarParts p{};
        double back = 0.0;
        bool ok = LDateTime::PartsFromSerial(serial, p) &&
                  LDateTime::SerialFromParts(p.year, p.month, p.day, 0, 0, 0, back);
        if (!ok || p.year != year || p.month != month || p.day != day || p.dayOfWeek != dayOfWeek ||
            p.dayOfYear != dayOfYear || p.hour != 0 || p.minute != 0 || p.second != 0 ||
            back != serial) {
            ADD_FAILURE() << "serial " << serial << " gave " << Describe(p) << " back " << back
                          << ", expected " << year << "-" << month << "-" << day;
            ++failures;
        }
        dayOfWeek = dayOfWeek % 7 + 1;
        ++dayOfYear;
        if (++day > DaysIn(year, month)) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
                dayOfYear = 1;
            }
        }
    }
    EXPECT_EQ(year, 10000);
}

TEST(LDateTimeCalendar, TimeOfDayRoundTripsOnBothSidesOfTheEpoch) {
    const uint16_t dates[][3] = {{2026, 12, 6}, {1800, 6, 15}, {1899, 12, 29}, {1899, 12, 30}};
    for (const auto& date : dates) {
        for (int32_t secs = 0; secs < 86400; secs += 7) {
            auto hour = static_cast<uint16_t>(secs / 3600);
            auto minute = static_cast<uint16_t>(secs / 60 % 60);
            auto second = static_cast<uint16_t>(secs % 60);
            double serial = 0.0;
            LCalendarParts p{};
            ASSERT_TRUE(LDateTime::SerialFromParts(date[0], date[1], date[2], hour, minute, second,
                                                   serial));
            ASSERT_TRUE(LDateTime::PartsFromSerial(serial, p));
            ASSERT_TRUE(p.year == date[0] && p.month == date[1] && p.day == date[2] &&
                        p.hour == hour && p.minute == minute && p.second == second)
                << date[0] << "-" << date[1] << "-" << date[2] << " secs " << secs << " gave "
                << Describe(p);
        }
    }
}

struct RoundingCase {
    double serial;
    uint16_t year, month, day, hour, minute, second;
};

TEST(LDateTimeCalendar, RoundsToTheNearestSecond) {
    const double kSecond = 1.0 / 86400;
    const RoundingCase cases[] = {
        {46362 + 86399.6 * kSecond, 2026, 12, 7, 0, 0, 0},
        {46362 + 86399.4 * kSecond, 2026, 12, 6, 23, 59, 59},
        {46362 + 43200.4 * kSecond, 2026, 12, 6, 12, 0, 0},
        {46362 + 43200.6 * kSecond, 2026, 12, 6, 12, 0, 1},
        {-0.25, 1899, 12, 30, 6, 0, 0},  // the fraction counts forwards either way
        {-1 - 0.4 * kSecond, 1899, 12, 29, 0, 0, 0},
        {-2 - 3600.6 * kSecond, 1899, 12, 28, 1, 0, 1},
        // 23:59:59.6 before the epoch still rounds to the following midnight.
        {-1 - 86399.6 * kSecond, 1899, 12, 30, 0, 0, 0},
        {-2 - 86399.6 * kSecond, 1899, 12, 29, 0, 0, 0},
    };
    for (const auto& c : cases) {
        LCalendarParts p{};
        ASSERT_TRUE(LDateTime::PartsFromSerial(c.serial, p)) << c.serial;
        EXPECT_TRUE(p.year == c.year && p.month == c.month && p.day == c.day && p.hour == c.hour &&
                    p.minute == c.minute && p.second == c.second)
            << "serial " << c.serial << " gave " << Describe(p);
    }
}

struct FormatCase {
    double serial;
    int32_t status;
    std::u16string format;
    std::u16string expected;
};

TEST(LDateTimeFormat, FormatsValidValuesAndNamesTheOthers) {
    const FormatCase cases[] = {
        {46362.0, LDateTime::kValid, u"%Y-%m-%d.log", u"2026-12-06.log"},
        {36585.5 + 61.0 / 86400, LDateTime::kValid, u"%d.%m.%y %H:%M:%S", u"29.02.00 12:01:01"},
        {0.0, LDateTime::kValid, u"%j %w %a %A %b %B", u"364 6 Sat Saturday Dec December"},
        {1.0, LDateTime::kValid, u"%j %w %a", u"365 0 Sun"},
        {-1.25, LDateTime::kValid, u"%d %I %p", u"29 06 AM"},
        {-657434.0, LDateTime::kValid, u"%m-%d %j", u"01-01 001"},
        {2958465.0, LDateTime::kValid, u"%Y-%m-%d %j %a", u"9999-12-31 365 Fri"},
        {46362.0, LDateTime::kValid, u"100%% \u20AC %Y \U0001F600", u"100% \u20AC 2026 \U0001F600"},
        {46362.0, LDateTime::kValid, u"\u00E9%d\u00E9", u"\u00E906\u00E9"},
        {46362.0, LDateTime::kValid, u"", u""},
        {46362.0, LDateTime::kNull, u"%Y", u""},
        {46362.0, LDateTime::kInvalid, u"%Y", u"Invalid Time"},
        {7.0, 3, u"%Y", u"Invalid Time"},  // no such status
        {-657435.0, LDateTime::kValid, u"%Y", u"Invalid Time"},
        {2958465.5, LDateTime::kValid, u"%Y", u"Invalid Time"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Text(LDateTime(c.serial, c.status).Format(c.format.c_str())), c.expected)
            << "serial " << c.serial << " status " << c.status;
    }
}

TEST(LDateTimeFormat, TextLongerThanTheBufferGivesNothing) {
    LDateTime date(46362.0);
    std::u16string fits(1019, u'x');
    fits += u"%Y";  // 1023 characters and the zero
    EXPECT_EQ(Text(date.Format(fits.c_str())), std::u16string(1019, u'x') + u"2026");
    std::u16string tooLong(1020, u'x');
    tooLong += u"%Y";
    EXPECT_EQ(Text(date.Format(tooLong.c_str())), u"");
    std::u16string euros(1023, u'\u20AC');
    EXPECT_EQ(Text(date.Format(euros.c_str())), euros);
    euros += u"%d";
    EXPECT_EQ(Text(date.Format(euros.c_str())), u"");
}

// The local zone is the machine's, so the checks hold in any zone: local time lies
// within 14 hours of UTC, and zones differ from UTC by whole quarter hours.
TEST(LDateTimeTimeValue, GivesTheLocalTimeOfTheInstant) {
    const int64_t instants[] = {172800, 951825600, 1781524861, 1796558399, 2147483648, 32503507200};
    for (int64_t t : instants) {
        LDateTime local = LDateTime::FromTimeValue(t);
        ASSERT_EQ(local.GetStatus(), LDateTime::kValid) << t;
        double utc = 25569.0 + static_cast<double>(t) / 86400;
        EXPECT_LE(std::fabs(local.GetSerial() - utc), 14.0 / 24 + 1e-9) << t;
        LCalendarParts p{};
        ASSERT_TRUE(LDateTime::PartsFromSerial(local.GetSerial(), p));
        EXPECT_EQ((p.minute * 60 + p.second) % 900, t % 900) << t << " gave " << Describe(p);
    }
}

TEST(LDateTimeTimeValue, InstantsPastYear9999AreInvalid) {
    // 3 January 10000, about year 67536 (whose number would wrap to 2000 in 16
    // bits), and one past any broken-down year.
    const int64_t instants[] = {253402473600, 2069063114832, 100000000000000000};
    for (int64_t t : instants) {
        EXPECT_EQ(LDateTime::FromTimeValue(t).GetStatus(), LDateTime::kInvalid) << t;
    }
}

TEST(LDateTimeTimeValue, CurrentTimeIsNow) {
    std::time_t before = std::time(nullptr);
    LDateTime now = LDateTime::GetCurrentTime();
    std::time_t after = std::time(nullptr);
    ASSERT_EQ(now.GetStatus(), LDateTime::kValid);
    double utcBefore = 25569.0 + static_cast<double>(before) / 86400;
    double utcAfter = 25569.0 + static_cast<double>(after) / 86400;
    EXPECT_GE(now.GetSerial(), utcBefore - 14.0 / 24 - 1e-9);
    EXPECT_LE(now.GetSerial(), utcAfter + 14.0 / 24 + 1e-9);
}

}  // namespace

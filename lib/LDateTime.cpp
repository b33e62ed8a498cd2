#include "LDateTime.h"

#include <cmath>
#include <ctime>

#include "LDateTimePlatform.h"

namespace {
// Days in the first k months of a common year.
constexpr int32_t kMonthStart[13] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};

constexpr double kMinSerial = -657434.0;  // 1 January 100
constexpr double kMaxSerial = 2958465.0;  // 31 December 9999
constexpr int32_t kSecondsPerDay = 86400;
// 30 December 1899 in the day count that both conversions use internally.
constexpr int32_t kEpochDays = 693959;
constexpr int32_t kDaysPer400Years = 146097;
constexpr int32_t kDaysPer100Years = 36524;  // a century that does not start with a leap year
constexpr int32_t kDaysPer4Years = 1461;
constexpr int32_t kDaysPerYear = 365;

// The longest formatted text, and the zero after it.
constexpr int32_t kTimeTextCapacity = 1024;

bool IsLeapYear(int32_t year) {
    return (year % 4 == 0) && (year % 100 != 0 || year % 400 == 0);
}

// The C library's wide strftime formats the ASCII runs of the format, and other
// characters are copied as they are: msvcrt passes the format through the ANSI code
// page, which garbles them. Text that does not fit the buffer gives nothing at all.
LString FormatTime(const LChar* format, const std::tm& time) {
    constexpr LChar kMarker = u'|';
    LString text;
    const LChar* at = format;
    while (*at != 0) {
        if (*at >= 0x80) {
            text.AppendChar(*at++);
            continue;
        }
        // The marker makes every run's text non-empty, so that "nothing written"
        // can only mean "did not fit".
        LString run;
        run.AppendChar(kMarker);
        while (*at != 0 && *at < 0x80) {
            run.AppendChar(*at++);
        }
        int32_t room = kTimeTextCapacity - 1 - text.GetLength();
        LString piece;
        if (room < 0 || !LFormatTime(run.GetText(), time, room + 2, piece)) {
            return LString();
        }
        text.Append(piece.Mid(1));
    }
    if (text.GetLength() > kTimeTextCapacity - 1) {
        return LString();
    }
    return text;
}
}  // namespace

bool LDateTime::SerialFromParts(uint16_t year, uint16_t month, uint16_t day, uint16_t hour,
                                uint16_t minute, uint16_t second, double& serial) {
    if (year > 9999 || month < 1 || month > 12) {
        return false;
    }
    bool leap = IsLeapYear(year);
    int32_t daysInMonth = kMonthStart[month] - kMonthStart[month - 1];
    if (leap && month == 2 && day == 29) {
        ++daysInMonth;
    }
    if (day < 1 || day > daysInMonth || hour > 23 || minute > 59 || second > 59) {
        return false;
    }
    int32_t y = year;
    int32_t n = y * 365 + y / 4 - y / 100 + y / 400 + kMonthStart[month - 1] + day;
    if (month <= 2 && leap) {
        --n;  // the year's own leap day is not yet behind these months
    }
    n -= kEpochDays;
    double t = static_cast<double>(hour * 3600 + minute * 60 + second) / kSecondsPerDay;
    // Before the epoch the whole days count backwards while the time of day still
    // counts forwards, so the fraction moves away from zero.
    serial = n >= 0 ? n + t : n - t;
    return true;
}

bool LDateTime::PartsFromSerial(double serial, LCalendarParts& parts) {
    // Written so that NaN fails as well.
    if (!(serial >= kMinSerial && serial <= kMaxSerial)) {
        return false;
    }
    // The whole days, and the time of day counted forwards from that day's midnight
    // whatever the sign, rounded to the nearest second. A time that rounds up to
    // midnight belongs to the following day, which is one day later in time for
    // negative serials too.
    double whole = std::trunc(serial);
    auto days = static_cast<int32_t>(whole);
    auto secs = static_cast<int32_t>(std::fabs(serial - whole) * kSecondsPerDay + 0.5);
    if (secs >= kSecondsPerDay) {
        secs -= kSecondsPerDay;
        ++days;
    }

    int32_t a = days + kEpochDays;
    parts.dayOfWeek = static_cast<uint16_t>((a - 1) % 7 + 1);

    int32_t cycles = a / kDaysPer400Years;
    a %= kDaysPer400Years;
    int32_t century = (a - 1) / kDaysPer100Years;
    bool leap4 = true;  // whether the current four-year group starts with a leap year
    int32_t quads;
    int32_t d;
    if (century != 0) {
        a = (a - 1) % kDaysPer100Years;
        quads = (a + 1) / kDaysPer4Years;
        if (quads != 0) {
            d = (a + 1) % kDaysPer4Years;
        } else {
            leap4 = false;  // the first four years of a century not divisible by 400
            d = a;
        }
    } else {
        quads = a / kDaysPer4Years;
        d = a % kDaysPer4Years;
    }
    int32_t y;
    if (leap4) {
        y = (d - 1) / kDaysPerYear;
        if (y != 0) {
            d = (d - 1) % kDaysPerYear;
        }
    } else {
        y = d / kDaysPerYear;
        d %= kDaysPerYear;
    }
    parts.dayOfYear = static_cast<uint16_t>(d + 1);
    parts.year = static_cast<uint16_t>(400 * cycles + 100 * century + 4 * quads + y);

    if (y == 0 && leap4 && d == 59) {
        parts.month = 2;
        parts.day = 29;
    } else {
        if (y == 0 && leap4 && d >= 60) {
            --d;  // past 29 February: continue as in a common year
        }
        ++d;
        int32_t month = d / 32 + 1;
        while (d > kMonthStart[month]) {
            ++month;
        }
        parts.month = static_cast<uint16_t>(month);
        parts.day = static_cast<uint16_t>(d - kMonthStart[month - 1]);
    }

    parts.second = static_cast<uint16_t>(secs % 60);
    parts.minute = static_cast<uint16_t>(secs / 60 % 60);
    parts.hour = static_cast<uint16_t>(secs / 3600);
    return true;
}

LDateTime LDateTime::FromTimeValue(int64_t seconds) {
    std::tm local{};
    if (!LLocalTimeFromValue(seconds, local)) {
        return LDateTime(0.0, kInvalid);
    }
    // Checked before narrowing: a far year must not wrap into the valid range.
    int64_t year = int64_t{local.tm_year} + 1900;
    if (year < 0 || year > 9999) {
        return LDateTime(0.0, kInvalid);
    }
    double serial = 0.0;
    if (!SerialFromParts(static_cast<uint16_t>(year), static_cast<uint16_t>(local.tm_mon + 1),
                         static_cast<uint16_t>(local.tm_mday), static_cast<uint16_t>(local.tm_hour),
                         static_cast<uint16_t>(local.tm_min), static_cast<uint16_t>(local.tm_sec),
                         serial)) {
        return LDateTime(0.0, kInvalid);
    }
    return LDateTime(serial, kValid);
}

LDateTime LDateTime::GetCurrentTime() {
    std::time_t now = std::time(nullptr);
    if (now == static_cast<std::time_t>(-1)) {
        return LDateTime(0.0, kInvalid);
    }
    return FromTimeValue(static_cast<int64_t>(now));
}

LString LDateTime::Format(const LChar* format) const {
    if (status_ == kNull) {
        return LString();
    }
    LCalendarParts parts{};
    if (status_ != kValid || !PartsFromSerial(serial_, parts)) {
        return LString(u"Invalid Time");
    }
    // tm_isdst stays 0: no format used here reads it.
    return FormatTime(format != nullptr ? format : u"", TmFromParts(parts));
}

std::tm TmFromParts(const LCalendarParts& parts) {
    std::tm time{};
    time.tm_sec = parts.second;
    time.tm_min = parts.minute;
    time.tm_hour = parts.hour;
    time.tm_mday = parts.day;
    time.tm_mon = parts.month - 1;
    time.tm_year = parts.year - 1900;
    time.tm_wday = parts.dayOfWeek - 1;
    time.tm_yday = parts.dayOfYear - 1;
    return time;
}

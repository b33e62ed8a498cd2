#pragma once

#include <cstdint>
#include <ctime>

#include "LString.h"

// Windows headers define GetCurrentTime as a macro.
#ifdef GetCurrentTime
#undef GetCurrentTime
#endif

struct LCalendarParts {
    uint16_t second;
    uint16_t minute;
    uint16_t hour;
    uint16_t day;        // 1..31
    uint16_t month;      // 1..12
    uint16_t year;       // full year
    uint16_t dayOfWeek;  // 1..7, 1 = Sunday
    uint16_t dayOfYear;  // 1..366
};

// The C library's broken-down time of the parts, with tm_isdst 0.
std::tm TmFromParts(const LCalendarParts& parts);

// A local date and time counted in days since 30 December 1899 00:00; the fraction
// is the time of day.
class LDateTime {
public:
    enum Status : int32_t { kValid = 0, kInvalid = 1, kNull = 2 };

    explicit LDateTime(double serial = 0.0, int32_t status = kValid)
        : serial_(serial), status_(status) {}
    // The local date and time of an instant given in seconds since 1970-01-01 UTC.
    static LDateTime FromTimeValue(int64_t seconds);
    static LDateTime GetCurrentTime();

    // strftime-style; "Invalid Time" when the value cannot be converted.
    LString Format(const LChar* format) const;

    static bool SerialFromParts(uint16_t year, uint16_t month, uint16_t day, uint16_t hour,
                                uint16_t minute, uint16_t second, double& serial);
    static bool PartsFromSerial(double serial, LCalendarParts& parts);

    double GetSerial() const { return serial_; }
    int32_t GetStatus() const { return status_; }

private:
    double serial_;
    int32_t status_;
};

#include "CDiscList.h"

#include "CarouselGeometry.h"
#include "Usage.h"

namespace {
// Whether the digit run that ToInteger reads is no greater than limit, judged on the
// digits themselves, since ToInteger wraps larger values into small ones.
bool DigitsAtMost(const LString& text, uint32_t limit) {
    const LChar* p = text.GetText();
    while (*p != 0 && !IsAsciiDigit(*p)) {
        ++p;
    }
    while (*p == u'0') {
        ++p;
    }
    uint64_t value = 0;
    for (; IsAsciiDigit(*p); ++p) {
        value = value * 10 + static_cast<uint64_t>(*p - u'0');
        if (value > limit) {
            return false;
        }
    }
    return true;
}
}  // namespace

CDiscList::CDiscList(int32_t argumentCount, const LChar* const* arguments) : LList(10, false) {
    if (argumentCount < 2) {
        PrintUsage();
        return;
    }
    for (int32_t i = 1; i < argumentCount; ++i) {
        LString argument(arguments[i]);
        int32_t minus = argument.Find(1, u'-', 0);
        if (minus < 0) {
            int32_t disc;
            if (!ReadNumber(argument, disc)) {
                PrintUsage();
                return;
            }
            AddTail(disc);
            continue;
        }
        int32_t first;
        int32_t last;
        if (!ReadNumber(argument.Left(minus), first) ||
            !ReadNumber(argument.Mid(minus + 1), last)) {
            PrintUsage();
            return;
        }
        for (int32_t disc = first; disc <= last; ++disc) {
            AddTail(disc);
        }
    }
    valid_ = 1;
}

// A number is unreadable when it reads as 0, when its digits overflow 32 bits, or
// when it names a disc above the last slot of bank 127.
bool CDiscList::ReadNumber(const LString& text, int32_t& number) const {
    if (!DigitsAtMost(text, 0x7FFFFFFF)) {
        return false;
    }
    number = text.ToInteger();
    return number != 0 && number <= carousel::kHighestDisc;
}

void CDiscList::PrintUsage() {
    valid_ = 0;
    WriteUsage();
}

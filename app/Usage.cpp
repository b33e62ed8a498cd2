#include "Usage.h"

#include "LStdOut.h"

namespace {
const LChar kUsageHead[] =
    u"\r\n   This utility is designated to control Kavro CD Library devices via USB port.\r\n"
    u"It selects the indicated CD or CDs. Numbers must started form 1. Version " KAVRO_VERSION
    ".\r\n";
const LChar kUsageCredit[] =
    u"Published by the Kavro Tools project, free software for Kavro CD Library owners.\r\n"
    u"Project page: https://kavro-tools.example.org/\r\n";
const LChar kUsageTail[] =
    u"\r\nKavro [Number] [Number1-NumberN] ...\r\n\r\nExample: Kavro 25 186-189 3\r\n"
    u"It will select one by one disks 25, 186, 187, 188, 189, 3.\r\n";
}  // namespace

void WriteUsage() {
    StdOutWrite(kUsageHead);
    StdOutWrite(kUsageCredit);
    StdOutWrite(kUsageTail);
}

void WriteVersion() {
    StdOutWrite(u"Kavro " KAVRO_VERSION "\r\n");
}

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
const LChar kCommands[] =
    u"\r\n"
    u"Kavro /list          Lists the numbered and the attached devices.\r\n"
    u"Kavro /blink N       Flashes the device of bank N until a key is pressed.\r\n"
    u"Kavro /renumber N    Asks for a new number for the device of bank N.\r\n"
    u"Kavro /forget N      Removes bank N from Kavro.xml when its device is gone.\r\n"
    u"Kavro /number        Numbers new devices without selecting a disc.\r\n"
    u"Kavro /version       Shows the program's version.\r\n"
    u"Kavro /? or --help   Shows this text. Each command can also begin with --.\r\n";
}  // namespace

void WriteUsage() {
    StdOutWrite(kUsageHead);
    StdOutWrite(kUsageCredit);
    StdOutWrite(kUsageTail);
}

void WriteVersion() {
    StdOutWrite(u"Kavro " KAVRO_VERSION "\r\n");
}

void WriteHelp() {
    WriteUsage();
    StdOutWrite(kCommands);
}

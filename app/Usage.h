#pragma once

// The usage text, which a command line that cannot be read gets.
void WriteUsage();
// The usage text followed by one line per command of the program's own.
void WriteHelp();
// The program's name and version, on one line.
void WriteVersion();

#!/bin/sh
# Runs a Windows program under Wine for ctest. A wineserver that outlives each
# program makes every start after the first cheap, and goes away by itself.
export WINEDEBUG=-all
# Under the POSIX locale, which a minimal system has, Wine cannot give a Unix file
# a name outside ASCII; C.UTF-8 is always there.
export LC_ALL=C.UTF-8
if wineserver -p30 >/dev/null 2>&1 </dev/null; then
    # A new server: let Wine's background services start with their output
    # detached, or they would hold the caller's pipe open until they exit.
    wine cmd /c exit >/dev/null 2>&1 </dev/null
fi
exec wine "$@"

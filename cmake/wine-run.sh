#!/bin/sh
# Runs a Windows program under Wine for ctest. A wineserver that outlives each
# program makes every start after the first cheap, and goes away by itself.
export WINEDEBUG=-all
# Under the POSIX locale, which a minimal system has, Wine cannot give a Unix file
# a name outside ASCII; C.UTF-8 is always there.
export LC_ALL=C.UTF-8
# Test programs start side by side; on a fresh machine the first of them creates the
# Wine prefix, and the others must wait for it rather than race it. The server and
# Wine's services outlive this script, so they must not inherit the lock.
(
    flock 9
    if wineserver -p30 >/dev/null 2>&1 </dev/null 9>&-; then
        # A new server: let Wine's background services start with their output
        # detached, or they would hold the caller's pipe open until they exit.
        wine cmd /c exit >/dev/null 2>&1 </dev/null 9>&-
    fi
) 9>"${TMPDIR:-/tmp}/kavro-wine-start-$(id -u).lock"
exec wine "$@"

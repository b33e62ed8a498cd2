#!/bin/sh
# Runs a Windows program under Wine, for ctest, the end-to-end tests and run.sh: the
# 32-bit or the 64-bit Wine, as the program's header says, each in its own prefix.
# A wineserver that outlives each program makes every start after the first cheap,
# and goes away by itself.
. "$(dirname "$0")/wine.sh"
if ! arch=$(kavro_pe_arch "$1"); then
    echo "$0: not a 32-bit or 64-bit Windows program: $1" >&2
    exit 127
fi
kavro_wine_select "$arch"
export WINEDEBUG=-all
# Under the POSIX locale, which a minimal system has, Wine cannot give a Unix file
# a name outside ASCII; C.UTF-8 is always there.
export LC_ALL=C.UTF-8
# Test programs start side by side; on a fresh machine the first of them creates the
# Wine prefix, and the others must wait for it rather than race it. The server and
# Wine's services outlive this script, so they must not inherit the lock. The
# prefix's folder is made first: the server cannot start without it, and Wine would
# then start the server and its services itself.
#
# Whichever program finds Wine's services not running starts them, and they keep
# its standard error (Wine's debug output) open until they end, tens of seconds
# after the last program: the caller's pipe then stays open as long. So they are
# started here, with their output detached, both for a new server and for one
# whose services have already ended while the server itself has not.
mkdir -p "$WINEPREFIX"
(
    flock 9
    if "$WINESERVER" -p30 >/dev/null 2>&1 </dev/null 9>&- || ! kavro_wine_services_run; then
        "$WINELOADER" cmd /c exit >/dev/null 2>&1 </dev/null 9>&-
    fi
) 9>"$WINEPREFIX.lock"
exec "$WINELOADER" "$@"

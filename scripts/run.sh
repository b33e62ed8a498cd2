#!/bin/bash
# Sets up the machine, builds the program and runs it with your arguments:
#   scripts/run.sh 25 186-189 3            the Linux build
#   scripts/run.sh --windows 25 186-189 3  the Windows build, under Wine
set -euo pipefail
cd "$(dirname "$0")/.."

preset=native
if [ "${1:-}" = "--windows" ]; then
    preset=windows
    shift
fi

scripts/install-deps.sh
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
if ! { cmake --preset "$preset" && cmake --build --preset "$preset" --target Kavro; } >"$log" 2>&1; then
    cat "$log"
    exit 1
fi

if [ "$preset" = windows ]; then
    # Wine needs a UTF-8 locale for names outside ASCII; C.UTF-8 is always there.
    LC_ALL=C.UTF-8 WINEDEBUG=-all wine "build/windows/bin/Kavro.exe" "$@"
else
    "build/native/bin/Kavro" "$@"
fi

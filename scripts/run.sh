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
if [ "$preset" = windows ]; then
    . cmake/wine.sh
    no_32bit="$(kavro_why_no_32bit)"
    if [ -n "$no_32bit" ]; then
        preset=windows64
        echo "run.sh: ${no_32bit}, so the 64-bit Windows test build runs, under 64-bit Wine." >&2
    fi
fi

log="$(mktemp)"
trap 'rm -f "$log"' EXIT
if ! { cmake --preset "$preset" && cmake --build --preset "$preset" --target Kavro; } >"$log" 2>&1; then
    cat "$log"
    exit 1
fi

if [ "$preset" = native ]; then
    "build/native/bin/Kavro" "$@"
else
    cmake/wine-run.sh "build/$preset/bin/Kavro.exe" "$@"
fi

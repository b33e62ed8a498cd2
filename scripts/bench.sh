#!/bin/bash
# Builds the Linux program and the benchmarks where they are out of date, then prints
# the figures: the strings, the containers and the bank table reader (Google
# Benchmark's own timing; any option given is passed on to it), the time and peak
# memory of reading crafted tables of up to 16 MiB, then the timing report of a
# selection run on the simulated carousels (about a minute).
# Usage: scripts/bench.sh [--benchmark_filter=LString ...]
set -euo pipefail
cd "$(dirname "$0")/.."

log="$(mktemp)"
trap 'rm -f "$log"' EXIT
if ! { cmake --preset native &&
       cmake --build --preset native --target kavro_bench Kavro USBCDDLL; } >"$log" 2>&1; then
    cat "$log"
    echo "bench.sh: the build failed (scripts/install-deps.sh installs what it needs)." >&2
    exit 1
fi

build/native/bin/kavro_bench "$@"
echo
bench/crafted_tables.py
echo
bench/timing_report.py

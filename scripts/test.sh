#!/bin/bash
# Sets up a fresh Debian 12 machine, builds every configuration and runs every test.
# Usage: scripts/test.sh [preset ...]   (default: all presets)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

presets=("$@")
if [ "${#presets[@]}" -eq 0 ]; then
    presets=(native native-asan native-tsan fuzz windows)
fi

# The Windows tests leave a wineserver behind; nothing else starts one.
cleanup() { wineserver -k >/dev/null 2>&1 || true; }
for preset in "${presets[@]}"; do
    if [ "${preset}" = windows ]; then
        trap cleanup EXIT
    fi
done

for preset in "${presets[@]}"; do
    echo "=== ${preset} ==="
    cmake --preset "${preset}"
    cmake --build --preset "${preset}"
    ctest --preset "${preset}"
    if [ "${preset}" = windows ]; then
        cpack --preset windows
        python3 tests/package_layout.py build/windows/Kavro-*-win32.zip
    fi
done

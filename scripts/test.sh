#!/bin/bash
# Sets up a fresh Debian 12 machine, builds every configuration and runs every test.
# Usage: scripts/test.sh [preset ...]   (default: all presets)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
. cmake/wine.sh

presets=("$@")
if [ "${#presets[@]}" -eq 0 ]; then
    presets=(native native-asan native-tsan fuzz windows windows64)
fi
wanted() { [[ " ${presets[*]} " == *" $1 "* ]]; }

# The 32-bit Windows program is the product: it is always built, packed and checked.
# Its tests need 32-bit Wine, which cannot start on a machine that runs no 32-bit
# code; there the 64-bit build's tests test the same sources under 64-bit Wine.
no_32bit=""
if wanted windows; then
    no_32bit="$(kavro_why_no_32bit)"
    if [ -n "${no_32bit}" ] && ! wanted windows64; then
        presets+=(windows64)
    fi
fi

# The Windows tests leave wineservers behind; nothing else starts one.
if wanted windows || wanted windows64; then
    trap kavro_wine_stop EXIT
fi

# Every C++ file as the project's .clang-format writes it; a difference fails the run.
echo "=== formatting ==="
find . -path ./build -prune -o -path ./.git -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run --Werror

for preset in "${presets[@]}"; do
    echo "=== ${preset} ==="
    started=${SECONDS}
    cmake --preset "${preset}"
    cmake --build --preset "${preset}"
    built=${SECONDS}
    if [ "${preset}" = windows ] && [ -n "${no_32bit}" ]; then
        echo "The 32-bit Windows tests did not run: ${no_32bit}. The 64-bit Windows build's tests (windows64) run in their place."
    else
        ctest --preset "${preset}"
        if [ "${preset}" != fuzz ]; then
            scripts/suite_counts.py "build/${preset}"
        fi
    fi
    if [ "${preset}" = windows ]; then
        cpack --preset windows
        python3 tests/package_layout.py build/windows/Kavro-*-win32.zip
    fi
    echo "=== ${preset}: built in $((built - started)) s, tested in $((SECONDS - built)) s ==="
done

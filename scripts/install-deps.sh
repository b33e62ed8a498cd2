#!/bin/bash
# Installs what the build and the tests need on Debian 12. Safe to run again: it
# only calls apt-get when something is missing.
set -euo pipefail

packages=(
    g++ cmake ninja-build git
    clang clang-format libclang-rt-14-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix wine wine32:i386 wine64
    libxml2-dev tmux expect python3
    xvfb xterm xdotool xfonts-base
    btrfs-progs xfsprogs bindfs
)

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
    missing=("${packages[@]}")
else
    missing=()
    for package in "${packages[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
fi

# apt's output is shown only when it fails. On a machine that runs no 32-bit code,
# wine32's i386 libraries install all the same, but some of their set-up scripts try
# to run 32-bit helpers and print errors that they themselves then ignore.
if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    log="$(mktemp)"
    trap 'rm -f "$log"' EXIT
    if ! { $sudo apt-get update -q &&
           $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
               "${missing[@]}"; } >"$log" 2>&1; then
        cat "$log" >&2
        echo "Installing the packages failed." >&2
        exit 1
    fi
fi

# The project's Wine, sourced by the Windows program runner and the scripts. A
# 32-bit and a 64-bit Windows program each get Wine's loader and server of their
# own width and a prefix of their own: 64-bit Wine makes 64-bit prefixes, and
# 32-bit Wine cannot start at all on a machine that runs no 32-bit code.

KAVRO_WINE_LIB=/usr/lib/wine
KAVRO_WINE_PREFIXES="${XDG_CACHE_HOME:-${HOME:?}/.cache}/kavro-wine"

# The architecture of the Windows program $1, from its PE header: i386 or x86_64.
# Fails for any other file.
kavro_pe_arch() {
    [ "$(od -An -c -N2 "$1" 2>/dev/null | tr -d ' ')" = MZ ] || return 1
    _offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    [ "$(od -An -tx4 -j"$_offset" -N4 "$1" | tr -d ' ')" = 00004550 ] || return 1
    case "$(od -An -tx2 -j$((_offset + 4)) -N2 "$1" | tr -d ' ')" in
        014c) echo i386 ;;
        8664) echo x86_64 ;;
        *) return 1 ;;
    esac
}

# Exports what Wine needs to run programs of the architecture $1 (i386 or x86_64).
kavro_wine_select() {
    case "$1" in
        i386) _bits=32 _loader=wine ;;
        x86_64) _bits=64 _loader=wine64 ;;
        *) echo "no Wine for the architecture $1" >&2 && return 1 ;;
    esac
    export WINEARCH="win$_bits"
    export WINEPREFIX="$KAVRO_WINE_PREFIXES/win$_bits"
    export WINELOADER="$KAVRO_WINE_LIB/$_loader"
    export WINESERVER="$KAVRO_WINE_LIB/wineserver$_bits"
}

# Whether Wine's services run for the selected prefix. A server whose programs have
# all ended keeps going for its persistence time, but tells its services to end a
# couple of seconds before it ends itself.
kavro_wine_services_run() {
    for _cmdline in $(grep -l -a -F 'system32\services.exe' /proc/[0-9]*/cmdline 2>/dev/null); do
        if grep -q -z -x -F "WINEPREFIX=$WINEPREFIX" "${_cmdline%/cmdline}/environ" 2>/dev/null; then
            return 0
        fi
    done
    return 1
}

# Stops the servers of both prefixes, with every program they still serve.
kavro_wine_stop() {
    for _arch in i386 x86_64; do
        (kavro_wine_select "$_arch" && "$WINESERVER" -k) >/dev/null 2>&1 || true
    done
}

# Tries to start 32-bit Wine. Prints nothing when it starts, and why when this
# machine runs no 32-bit code at all; fails on any other fault, such as 32-bit Wine
# missing or broken.
kavro_why_no_32bit() {
    python3 - "$KAVRO_WINE_LIB/wine" <<'PYTHON'
import errno, subprocess, sys
try:
    subprocess.run([sys.argv[1], "--version"], stdout=subprocess.DEVNULL, check=True)
except OSError as error:
    if error.errno != errno.ENOEXEC:
        raise
    print("this machine runs no 32-bit code (%s: %s)" % (sys.argv[1], error.strerror))
PYTHON
}

# shellcheck shell=bash
# Wine helpers shared by scripts/wine-run, the CTest fixture, the end-to-end
# harness and scripts/run.sh. Source it; it defines functions and sets nothing
# until they are called.
#
# Which Wine: a 32-bit program needs wine32, which the kernel of some machines
# refuses to run ("Exec format error"). There the Wine suites use a 64-bit build
# of the same sources under wine64. pv_wine_pick decides once per shell.

# PIVORA_WINE32_LOADER stands in for the 32-bit loader in the tests of set-up.
PV_WINE32=${PIVORA_WINE32_LOADER:-/usr/lib/wine/wine}
PV_WINE64=/usr/lib/wine/wine64

# True when 32-bit Linux programs (and so wine32) can run here.
pv_wine32_works() {
    [ -x "$PV_WINE32" ] && "$PV_WINE32" --version >/dev/null 2>&1
}

# The Wine the suites use here: 32 where wine32 runs, else 64. PIVORA_WINE_BITS=64
# forces the 64-bit path (to try on a machine that has wine32 what CI does where
# it has not).
pv_wine_suite_bits() {
    if [ "${PIVORA_WINE_BITS:-}" = 64 ] || ! pv_wine32_works; then echo 64; else echo 32; fi
}

# Sets PV_WINE_BITS (32 or 64), PV_WINE (loader), PV_WINEARCH and PV_WINESERVER.
# $1 (optional) forces 32 or 64; PIVORA_WINE_BITS in the environment does too.
pv_wine_pick() {
    local want="${1:-${PIVORA_WINE_BITS:-}}"
    if [ -z "$want" ]; then
        if pv_wine32_works; then want=32; else want=64; fi
    fi
    if [ "$want" = 32 ]; then
        PV_WINE_BITS=32
        PV_WINE=$PV_WINE32
        PV_WINEARCH=win32
    else
        PV_WINE_BITS=64
        PV_WINE=$PV_WINE64
        PV_WINEARCH=win64
    fi
    if [ -x /usr/lib/wine/wineserver64 ]; then
        PV_WINESERVER=/usr/lib/wine/wineserver64
    elif [ -x /usr/lib/wine/wineserver32 ]; then
        PV_WINESERVER=/usr/lib/wine/wineserver32
    else
        PV_WINESERVER=$(command -v wineserver)
    fi
    export PV_WINE_BITS PV_WINE PV_WINEARCH PV_WINESERVER
}

# 32 or 64 from a PE file's machine field; empty when it is not a PE file.
pv_pe_bits() {
    local f="$1" off machine
    [ -f "$f" ] || return 0
    off=$(od -An -tu4 -j60 -N4 "$f" 2>/dev/null | tr -d ' ')
    [ -n "$off" ] || return 0
    machine=$(od -An -tx2 -j$((off + 4)) -N2 "$f" 2>/dev/null | tr -d ' ')
    case "$machine" in
        014c) echo 32 ;;
        8664) echo 64 ;;
    esac
}

# Exports the environment every Wine process of ours runs with.
# $1 prefix directory, $2 scratch directory (XDG data home, kept in the build tree).
pv_wine_env() {
    export WINEPREFIX="$1"
    export WINEARCH="$PV_WINEARCH"
    export WINEDEBUG="${WINEDEBUG:--all}"
    export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
    export WINELOADER="$PV_WINE"
    export WINESERVER="$PV_WINESERVER"
    if [ -n "${2:-}" ]; then
        mkdir -p "$2"
        export XDG_DATA_HOME="$2"
    fi
}

# A REG_MULTI_SZ's data for a REGEDIT4 file: the strings' bytes (ASCII), each
# ended by a zero, then one more zero, as comma-separated hex bytes.
pv_multi_sz_hex() {
    local s
    { for s in "$@"; do printf '%s\0' "$s"; done; printf '\0'; } |
        od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$//'
}

# The file that marks a complete prefix. Its name changes with what a prefix
# is made with, so that prefixes made before a change are made again.
pv_prefix_stamp() {  # PREFIX GRAPHICS
    echo "$1/.pivora-prefix-$PV_WINEARCH-$2-linked-fonts-2"
}

# Creates a prefix unless it is already complete. $1 prefix, $2 scratch dir,
# $3 graphics driver: "null" (headless) or "x11".
pv_prefix_create() {
    local prefix="$1" scratch="$2" graphics="${3:-null}" stamp
    stamp="$(pv_prefix_stamp "$prefix" "$graphics")"
    pv_wine_env "$prefix" "$scratch"
    if [ -f "$stamp" ]; then
        [ "$graphics" = x11 ] && pv_prefix_system_sounds "$prefix"
        return 0
    fi
    rm -rf "$prefix"
    mkdir -p "$(dirname "$prefix")"
    "$PV_WINE" wineboot -i </dev/null >/dev/null 2>&1
    "$PV_WINESERVER" -w
    local reg="$prefix/pivora-tweaks.reg"
    {
        printf 'REGEDIT4\r\n\r\n'
        # Without it every .exe gets a document icon from SHGetFileInfo.
        printf '[HKEY_CLASSES_ROOT\\.exe]\r\n@="exefile"\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\r\n"Audio"=""\r\n'
        if [ "$graphics" = null ]; then
            printf '"Graphics"="null"\r\n'
        fi
        printf '\r\n'
        if [ "$graphics" = x11 ]; then
            # Windows draws a character its UI font lacks from a linked font
            # (Chinese, Japanese, symbols). Wine links Tahoma to "MS UI Gothic"
            # and "SimSun", for which Linux fonts stand in here: WenQuanYi for
            # CJK, Symbola for symbols. Verdana, the menu's own font, is
            # DejaVu Sans (its look-alike), linked to the same two. A link
            # for a font that is not there would draw all its text in the
            # first linked font instead.
            printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
            printf '"MS UI Gothic"="WenQuanYi Micro Hei"\r\n"SimSun"="Symbola"\r\n"Verdana"="DejaVu Sans"\r\n\r\n'
            printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\r\n'
            printf '"DejaVu Sans"=hex(7):%s\r\n\r\n' \
                "$(pv_multi_sz_hex "wqy-microhei.ttc,WenQuanYi Micro Hei" "Symbola_hint.ttf,Symbola")"
            # A plain start opens inside one virtual desktop with a task bar.
            printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n\r\n'
            printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="%s"\r\n\r\n' \
                "${PIVORA_DESKTOP_SIZE:-1000x700}"
        fi
    } >"$reg"
    (cd "$prefix" && "$PV_WINE" regedit /S pivora-tweaks.reg </dev/null >/dev/null 2>&1)
    pv_prefix_plain_user_dirs "$prefix"
    "$PV_WINESERVER" -w
    [ "$graphics" = x11 ] && pv_prefix_system_sounds "$prefix"
    touch "$stamp"
}

# A desktop prefix gets the two system sounds Windows ships (short silent
# waves), so that the program plays them as it would on Windows instead of
# logging that they are missing. The headless prefix keeps them missing: its
# tests check exactly that.
pv_prefix_system_sounds() {
    local media="$1/drive_c/windows/media" n
    mkdir -p "$media"
    for n in chord chimes; do
        [ -f "$media/$n.wav" ] && continue
        python3 - "$media/$n.wav" <<'PY'
import sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(8000)
    w.writeframes(b"\0\0" * 800)
PY
    done
}

# Wine links Documents, Desktop and friends to the Linux home. Tests must stay in
# the build tree, so every such link becomes a plain directory.
pv_prefix_plain_user_dirs() {
    local prefix="$1" d
    for d in "$prefix"/drive_c/users/*/* "$prefix"/drive_c/users/*/AppData/*; do
        if [ -L "$d" ]; then
            rm -f "$d"
            mkdir -p "$d"
        fi
    done
}

# Starts a persistent wineserver for the prefix and one client that keeps the
# prefix's system processes alive, all with stdin/stdout/stderr on /dev/null so
# that nobody (CTest above all) waits for their output pipes. $1 prefix, $2 the
# keep-alive program and its arguments (a Windows program) follow.
# Writes the client's pid to $prefix/.pivora-keepalive.pid.
pv_server_start() {
    local prefix="$1"; shift
    [ -n "$prefix" ] && [ -d "$prefix" ] || { echo "pv_server_start: no prefix '$prefix'" >&2; return 1; }
    # Everything below runs in this prefix, whatever the caller exported.
    export WINEPREFIX="$prefix" WINEARCH="$PV_WINEARCH" WINELOADER="$PV_WINE" WINESERVER="$PV_WINESERVER"
    pv_server_stop "$prefix"
    pv_detach "$PV_WINESERVER" -p
    # The server forks into the background itself; wait until it answers.
    local i
    for i in $(seq 1 100); do
        pv_server_running "$prefix" && break
        sleep 0.05
    done
    if [ $# -gt 0 ]; then
        # One short run of the program first: it returns once the session's
        # start-up (wineboot, services, desktop) is done, so the first test does
        # not pay, and the keep-alive then never races another first client.
        # Bounded, in case Wine hangs at start-up.
        timeout -k 5 120 "$PV_WINE" "$1" hold 0 </dev/null >/dev/null 2>&1 || true
        pv_detach "$PV_WINE" "$@"
        echo "$PV_DETACHED_PID" >"$prefix/.pivora-keepalive.pid"
        awk '{print $22}' "/proc/$PV_DETACHED_PID/stat" >"$prefix/.pivora-keepalive.start" 2>/dev/null || true
    fi
}

# True while the wineserver of a prefix is listening. Its socket lives in
# /tmp/.wine-<uid>/ or, on some builds, in a /tmp/wine-XXXXXX/ directory, named
# after the device and inode of the prefix.
pv_server_running() {
    local prefix="$1" ino dev s
    dev=$(stat -c %d "$prefix" 2>/dev/null) || return 1
    ino=$(stat -c %i "$prefix" 2>/dev/null) || return 1
    for s in /tmp/.wine-"$(id -u)"/server-$(printf '%x-%x' "$dev" "$ino")/socket \
             /tmp/wine-*/server-$(printf '%x-%x' "$dev" "$ino")/socket; do
        [ -S "$s" ] && return 0
    done
    return 1
}

# Starts a command in the background in a session of its own, with stdin,
# stdout and stderr on /dev/null and every other inherited descriptor closed
# (CTest hands its children its log file and pipes). Sets PV_DETACHED_PID.
pv_detach() {
    (
        local fd
        for fd in $(ls /proc/$BASHPID/fd); do
            [ "$fd" -gt 2 ] && eval "exec $fd>&-" 2>/dev/null
        done
        exec setsid "$@" </dev/null >/dev/null 2>&1
    ) &
    PV_DETACHED_PID=$!
}

# Stops the wineserver of this prefix only (and with it every Wine process that
# runs in the prefix). $1 prefix.
pv_server_stop() {
    local prefix="$1"
    [ -n "$prefix" ] && [ -d "$prefix" ] || return 0
    local pid
    if [ -f "$prefix/.pivora-keepalive.pid" ]; then
        # The keep-alive client we started: end it by its pid as well, in case
        # it lost its server.
        # Only while the number is still that process's (the same start time):
        # once it has ended, the number may be another program's, even another
        # test's driver.
        pid=$(cat "$prefix/.pivora-keepalive.pid")
        if [ -n "$pid" ] && grep -q 'pvdriver' "/proc/$pid/cmdline" 2>/dev/null &&
            [ "$(awk '{print $22}' "/proc/$pid/stat" 2>/dev/null)" = "$(cat "$prefix/.pivora-keepalive.start" 2>/dev/null)" ]; then
            kill "$pid" 2>/dev/null || true
        fi
        rm -f "$prefix/.pivora-keepalive.pid" "$prefix/.pivora-keepalive.start"
    fi
    WINEPREFIX="$prefix" "$PV_WINESERVER" -k >/dev/null 2>&1 || true
    WINEPREFIX="$prefix" "$PV_WINESERVER" -w >/dev/null 2>&1 || true
}

# shellcheck shell=bash
# End-to-end harness: source it from a test script, then call e2e_init.
#
#   . tests/e2e/lib.sh
#   e2e_init NAME BUILD_DIR      # Xvfb, prefix, Wine desktop, trap
#   e2e_install                  # fresh copy of pivora.exe in the test's own folder
#   e2e_start_pivora             # sets PV_PID (Linux) and PV_WINPID (Windows)
#   e2e_wait_for 10 "tray icon" e2e_tray_icon_shown
#   e2e_screenshot menu-open
#   e2e_pass / e2e_fail "why"
#
# Everything the test makes stays under BUILD_DIR: the Wine prefix
# (e2e-wineprefix, x11 driver, one virtual desktop "Default" with a task bar),
# the Wine scratch folder, and BUILD_DIR/e2e-out/NAME with the installed
# program, logs and screenshots. The trap ends exactly the processes this test
# started, by pid, and stops the wineserver of the harness's own prefix.

E2E_SRC="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
E2E_REPO="$(cd "$E2E_SRC/../.." && pwd)"
. "$E2E_REPO/scripts/wine-env.sh"

# A UTF-8 locale: Wine maps file names between Linux and Windows through it
# (under "C" a name such as "Łódź.txt" has no Windows form).
export LANG=C.UTF-8 LC_ALL=C.UTF-8

E2E_PIDS=()
E2E_XVFB_PID=""
E2E_FAILED=0

e2e_log() { echo "[$(date +%H:%M:%S)] $E2E_NAME: $*"; }

e2e_fail() {
    e2e_log "FAIL: $*"
    E2E_FAILED=1
    exit 1
}

e2e_pass() {
    e2e_log "PASS"
    exit 0
}

e2e_skip() {
    # CTest treats exit code 77 as skipped (SKIP_RETURN_CODE).
    e2e_log "SKIP: $*"
    exit 77
}

# e2e_init NAME BUILD_DIR
e2e_init() {
    E2E_NAME="$1"
    E2E_BUILD="$(cd "$2" && pwd)"
    E2E_BIN="$E2E_BUILD/bin"
    E2E_OUT="$E2E_BUILD/e2e-out/$E2E_NAME"
    rm -rf "$E2E_OUT"
    mkdir -p "$E2E_OUT"
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
    # A command that ends the test through set -e says which it was: in the
    # test's own shell only (a pipeline that fails inside $(...) is not an end)
    # and on stderr (never into a captured output).
    set -E
    trap 'E2E_RC=$?; [ "$BASH_SUBSHELL" = 0 ] && e2e_log "ended by a failing command (exit $E2E_RC) at ${BASH_SOURCE[0]##*/}:$LINENO: $BASH_COMMAND" >&2' ERR
    # A test that changes the prefix's display settings takes one of its own
    # (E2E_PREFIX_NAME), so that the others keep theirs; the others take one of
    # the shared prefixes that no other test holds, so that tests can run side
    # by side (ctest -j) each with its own server and desktop.
    local scratch="$E2E_BUILD/e2e-scratch"
    if [ -n "${E2E_PREFIX_NAME:-}" ]; then
        E2E_PREFIX="$E2E_BUILD/$E2E_PREFIX_NAME"
        scratch="$E2E_PREFIX-scratch"
    else
        e2e_take_slot
        E2E_PREFIX="$E2E_BUILD/e2e-wineprefix$E2E_SLOT_SUFFIX"
        scratch="$E2E_BUILD/e2e-scratch$E2E_SLOT_SUFFIX"
    fi

    [ -f "$E2E_BIN/pvdriver.exe" ] || e2e_fail "no $E2E_BIN/pvdriver.exe; build the Wine build first"
    pv_wine_pick "$(pv_pe_bits "$E2E_BIN/pvdriver.exe")"
    if [ "$PV_WINE_BITS" = 32 ] && ! pv_wine32_works; then
        e2e_fail "32-bit build, but this machine cannot run wine32"
    fi
    e2e_log "using $PV_WINE ($PV_WINEARCH), output in $E2E_OUT"

    # One prefix for all end-to-end tests of this build; made on first use.
    # Tests run one at a time (CTest RESOURCE_LOCK), each with a fresh server.
    e2e_prefix_make "$E2E_PREFIX" "$scratch"
    pv_server_stop "$E2E_PREFIX"
    e2e_xvfb_start
    # Start the prefix's server, its system processes and the desktop now, with
    # their output on /dev/null: started later by a command whose output we
    # read, they would hold that pipe open until the end of the test.
    pv_server_start "$E2E_PREFIX" "$E2E_BIN/pvdriver.exe" hold
    e2e_track "$(cat "$E2E_PREFIX/.pivora-keepalive.pid")"
}

# Every end-to-end prefix starts as a copy of one made once per build: making
# a prefix (wineboot) costs tens of seconds of processor time, copying it one.
e2e_prefix_make() {  # PREFIX SCRATCH
    local prefix="$1" scratch="$2" template="$E2E_BUILD/e2e-wineprefix-template" fd
    if [ ! -f "$(pv_prefix_stamp "$prefix" x11)" ]; then
        exec {fd}>"$E2E_BUILD/.e2e-template.lock"
        flock "$fd"
        pv_prefix_create "$template" "$E2E_BUILD/e2e-scratch-template" x11
        rm -rf "$prefix"
        cp -a "$template" "$prefix"
        exec {fd}>&-
    fi
    pv_prefix_create "$prefix" "$scratch" x11
}

# Takes the first of E2E_SLOTS (2) shared prefixes that no other test holds,
# waiting for one when all are taken, and holds it until the test ends (the lock
# goes with the shell's descriptor). Sets E2E_SLOT_SUFFIX: empty for the first,
# "-2" and on for the others.
e2e_take_slot() {
    local slots="${E2E_SLOTS:-2}" n fd deadline
    deadline=$(( $(date +%s) + ${E2E_SLOT_WAIT:-600} ))
    while :; do
        for n in $(seq 1 "$slots"); do
            exec {fd}>"$E2E_BUILD/.e2e-slot-$n.lock"
            if flock -n "$fd"; then
                E2E_SLOT_FD=$fd
                if [ "$n" = 1 ]; then E2E_SLOT_SUFFIX=""; else E2E_SLOT_SUFFIX="-$n"; fi
                return 0
            fi
            exec {fd}>&-
        done
        [ "$(date +%s)" -ge "$deadline" ] && e2e_fail "no free end-to-end prefix after ${E2E_SLOT_WAIT:-600}s"
        sleep 0.2
    done
}

# Starts Xvfb on the first free display from 90 on and exports DISPLAY.
e2e_xvfb_start() {
    local n i
    for n in $(seq 90 190); do
        [ -e "/tmp/.X$n-lock" ] && continue
        [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 "${E2E_SCREEN:-1000x700x24}" -nolisten tcp -noreset \
            </dev/null >"$E2E_OUT/xvfb.log" 2>&1 &
        E2E_XVFB_PID=$!
        for i in $(seq 1 100); do
            [ -S "/tmp/.X11-unix/X$n" ] && break
            kill -0 "$E2E_XVFB_PID" 2>/dev/null || break
            sleep 0.05
        done
        # The display is ours only when the lock file names our server: with
        # tests side by side, another test's server may have taken it first
        # while ours has not yet noticed and exited.
        if [ -S "/tmp/.X11-unix/X$n" ] && e2e_xvfb_owns "$n"; then
            export DISPLAY=":$n"
            e2e_log "Xvfb on $DISPLAY (pid $E2E_XVFB_PID)"
            return 0
        fi
        # Someone took the display between our check and the start: next one.
        kill "$E2E_XVFB_PID" 2>/dev/null || true
        wait "$E2E_XVFB_PID" 2>/dev/null || true
        E2E_XVFB_PID=""
    done
    e2e_fail "no free X display"
}

# True when /tmp/.Xn-lock holds our Xvfb's pid and that Xvfb still runs.
e2e_xvfb_owns() {
    local i
    for i in $(seq 1 40); do
        kill -0 "$E2E_XVFB_PID" 2>/dev/null || return 1
        [ "$(tr -d ' \n' <"/tmp/.X$1-lock" 2>/dev/null)" = "$E2E_XVFB_PID" ] && return 0
        sleep 0.05
    done
    return 1
}

# A process is tracked with its start time, so that the clean-up never ends a
# process that took the number after ours ended (with tests side by side, that
# may be another test's).
e2e_start_time() { awk '{print $22}' "/proc/$1/stat" 2>/dev/null; }
e2e_track() { E2E_PIDS+=("$1:$(e2e_start_time "$1")"); }

# True while a tracked process (PID:START) is still the one we started and runs.
e2e_ours() {
    local pid="${1%%:*}" start="${1#*:}"
    [ -n "$start" ] && [ "$(e2e_start_time "$pid")" = "$start" ] && e2e_alive "$pid"
}

# True while a process we started runs (a zombie counts as ended).
e2e_alive() {
    local pid="$1" state
    [ -r "/proc/$pid/stat" ] || return 1
    state=$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)
    [ -n "$state" ] && [ "$state" != Z ]
}

e2e_cleanup() {
    local rc=$? pid i
    set +e
    if [ "$rc" != 0 ] && [ -n "${DISPLAY:-}" ] && [ -n "$E2E_XVFB_PID" ]; then
        import -window root -display "$DISPLAY" "$E2E_OUT/at-failure.png" 2>/dev/null
    fi
    for pid in "${E2E_PIDS[@]}"; do
        e2e_ours "$pid" && kill -TERM "${pid%%:*}" 2>/dev/null
    done
    for i in $(seq 1 30); do
        local any=0
        for pid in "${E2E_PIDS[@]}"; do
            e2e_ours "$pid" && any=1
        done
        [ $any = 0 ] && break
        sleep 0.1
    done
    for pid in "${E2E_PIDS[@]}"; do
        e2e_ours "$pid" && kill -KILL "${pid%%:*}" 2>/dev/null
    done
    [ -n "${E2E_PREFIX:-}" ] && pv_server_stop "$E2E_PREFIX"
    if [ -n "$E2E_XVFB_PID" ]; then
        kill -TERM "$E2E_XVFB_PID" 2>/dev/null
        wait "$E2E_XVFB_PID" 2>/dev/null
    fi
    exit "$rc"
}

# Runs a Windows program to its end, output on stdout, Wine's noise in the log.
e2e_wine() {
    "$PV_WINE" "$@" 2>>"$E2E_OUT/wine-stderr.log" </dev/null
}

# The driver program (see tests/e2e/driver/pvdriver.cpp).
e2e_driver() {
    e2e_wine "$E2E_BIN/pvdriver.exe" "$@"
}

# Starts a Windows program in the background; sets E2E_LAST_PID (Linux pid).
# Its output goes to $E2E_OUT/<name>.log.
e2e_start() {
    local exe="$1"; shift
    "$PV_WINE" "$exe" "$@" </dev/null >>"$E2E_OUT/$(basename "$exe" .exe).log" 2>&1 &
    E2E_LAST_PID=$!
    e2e_track "$E2E_LAST_PID"
}

# e2e_wait_for SECONDS WHAT COMMAND...: polls COMMAND until it succeeds.
e2e_wait_for() {
    local secs="$1" what="$2"; shift 2
    local deadline=$(( $(date +%s%N) + secs * 1000000000 ))
    while :; do
        "$@" >/dev/null 2>&1 && return 0
        [ "$(date +%s%N)" -ge "$deadline" ] && { e2e_log "timed out after ${secs}s waiting for $what"; return 1; }
        sleep 0.1
    done
}

# e2e_never SECONDS WHAT COMMAND...: a negative check with a bound. Polls
# COMMAND for SECONDS and fails as soon as it succeeds (WHAT happened).
e2e_never() {
    local secs="$1" what="$2"; shift 2
    local deadline=$(( $(date +%s%N) + secs * 1000000000 ))
    while [ "$(date +%s%N)" -lt "$deadline" ]; do
        if "$@" >/dev/null 2>&1; then
            e2e_log "$what within ${secs}s"
            return 1
        fi
        sleep 0.1
    done
    return 0
}

# True while the process has a visible top-level window.
e2e_has_visible_window() { [ "$(e2e_visible_windows "$1")" != 0 ]; }

# True once a visible message box shows its text (so a screenshot shows it).
e2e_box_painted() {
    local h s
    h=$(e2e_driver find --class '#32770' --visible --timeout 0 | head -1) || return 1
    # The icon is a static too, without text, and may come first.
    for s in $(e2e_driver child "$h" --class Static); do
        [ -n "$(e2e_driver gettext "$s" | tr -d '\r\n')" ] && return 0
    done
    return 1
}

# e2e_wait_exit PID SECONDS: waits for a process we started to end.
e2e_wait_exit() {
    local pid="$1" secs="$2"
    e2e_wait_for "$secs" "process $pid to end" e2e_not_alive "$pid"
}
e2e_not_alive() { ! e2e_alive "$1"; }

# Wall-clock milliseconds, for measuring.
e2e_now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# Waits, with a bound, until what the screen shows has been drawn and holds
# still: two grabs in a row alike, with more than two colours in them (text and
# pictures, not a bare background). A window or menu that has just been found
# visible may not have painted yet. With X Y W H only that region counts.
e2e_screen_settled() {  # [X Y W H] [SECONDS]
    local crop=() secs=5 a b deadline
    if [ $# -ge 4 ]; then
        crop=(-crop "${3}x${4}+${1}+${2}")
        shift 4
    fi
    [ $# -ge 1 ] && secs="$1"
    deadline=$(( $(e2e_now_ms) + secs * 1000 ))
    a=$(import -window root -display "$DISPLAY" "${crop[@]}" png:- 2>/dev/null | md5sum)
    while [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        b=$(import -window root -display "$DISPLAY" "${crop[@]}" png:- 2>/dev/null | tee "$E2E_OUT/.settle.png" | md5sum)
        if [ "$a" = "$b" ] && [ "$(convert "$E2E_OUT/.settle.png" -format %k info: 2>/dev/null || echo 0)" -gt 2 ]; then
            rm -f "$E2E_OUT/.settle.png"
            return 0
        fi
        a=$b
    done
    rm -f "$E2E_OUT/.settle.png"
    e2e_log "the screen did not settle within ${secs}s"
    return 1
}

# The open popup menu, drawn: see e2e_screen_settled.
e2e_menu_settled() {
    e2e_menu_rect || return 1
    e2e_screen_settled "$MENU_LEFT" "$MENU_TOP" $(( MENU_RIGHT - MENU_LEFT )) $(( MENU_BOTTOM - MENU_TOP )) "${1:-5}"
}

e2e_screenshot() {
    import -window root -display "$DISPLAY" "$E2E_OUT/$1.png"
    e2e_log "screenshot $E2E_OUT/$1.png"
}

# A screenshot once the screen has stopped changing (at most 3 s: a window
# with a running clock may never stop), so that it shows what was painted.
e2e_settled_screenshot() {
    e2e_screen_settled 3 || true
    e2e_screenshot "$1"
}

# Moves the pointer. (Not "mousemove --sync": it waits for a motion event,
# which never comes when the pointer is already there.)
e2e_mouse() {  # X Y
    xdotool mousemove "$1" "$2"
    local i
    for i in $(seq 1 20); do
        [ "$(xdotool getmouselocation 2>/dev/null | sed -n 's/^x:\([0-9]*\) y:\([0-9]*\) .*/\1 \2/p')" = "$1 $2" ] && return 0
        sleep 0.02
    done
}

e2e_click() {  # X Y [BUTTON]
    e2e_mouse "$1" "$2"
    xdotool click "${3:-1}"
}

e2e_key() {  # xdotool key names, e.g. ctrl+l Down Return
    e2e_focus_desktop
    xdotool key --delay 80 "$@"
}

# Xvfb runs no window manager, so nothing gives the Wine desktop window the
# keyboard focus (it stays PointerRoot and keys get lost): give it explicitly.
e2e_focus_desktop() {
    local wid
    wid=$(xdotool search --name ' - Wine desktop$' 2>/dev/null | head -1)
    [ -n "$wid" ] || return 0
    if [ "$(xdotool getwindowfocus 2>/dev/null)" != "$wid" ]; then
        xdotool windowfocus --sync "$wid" 2>/dev/null || true
        # Wine acts on the focus change asynchronously; let it settle before
        # the first key arrives.
        sleep 0.3
    fi
}

# e2e_reg_query KEY [VALUE]: prints the data of VALUE (or the whole key); an
# empty VALUE means the key's default value. Fails when the value is absent.
e2e_reg_query() {
    if [ $# -ge 2 ] && [ -z "$2" ]; then
        e2e_wine reg query "$1" /ve | tr -d '\r' | awk '$1 == "(Default)" { $1=""; $2=""; sub(/^  */, ""); print; f=1 } END { exit !f }'
    elif [ $# -ge 2 ]; then
        e2e_wine reg query "$1" /v "$2" | tr -d '\r' | awk -v v="$2" '$1 == v { $1=""; $2=""; sub(/^  */, ""); print; f=1 } END { exit !f }'
    else
        e2e_wine reg query "$1" | tr -d '\r'
    fi
}

# A fresh folder with pivora.exe (and so a fresh data directory beside it).
# Sets E2E_APP (Linux path) and E2E_EXE.
e2e_install() {
    local exe="${1:-$E2E_BIN/pivora.exe}"
    [ -f "$exe" ] || e2e_fail "no $(basename "$exe") in $E2E_BIN (the program is not built yet)"
    E2E_APP="$E2E_OUT/app"
    mkdir -p "$E2E_APP"
    cp "$exe" "$E2E_APP/"
    E2E_EXE="$E2E_APP/$(basename "$exe")"
}

# Windows path of a Linux path (Wine maps / to Z:).
e2e_winpath() {
    printf 'Z:%s' "$1" | tr '/' '\\'
}

# Starts the installed program and waits until it is running; sets PV_PID
# (Linux) and PV_WINPID (Windows).
e2e_start_pivora() {
    local name
    name="$(basename "$E2E_EXE")"
    e2e_start "$E2E_EXE"
    PV_PID=$E2E_LAST_PID
    e2e_wait_for 30 "$name to run" e2e_driver pids "$name" || e2e_fail "$name did not start"
    PV_WINPID=$(e2e_driver pids "$name" | head -1)
    e2e_log "$name runs: pid $PV_PID, Windows pid $PV_WINPID"
}

# The task bar of the virtual desktop: sets TB_LEFT TB_TOP TB_RIGHT TB_BOTTOM.
e2e_taskbar_rect() {
    local h info r
    h=$(e2e_driver find --class Shell_TrayWnd --visible --timeout 2000 | head -1) || return 1
    info=$(e2e_driver info "$h") || return 1
    r=$(sed -n 's/.* rect=\([-0-9,]*\) .*/\1/p' <<<"$info")
    IFS=, read -r TB_LEFT TB_TOP TB_RIGHT TB_BOTTOM <<<"$r"
    [ -n "$TB_BOTTOM" ]
}

# Centre of the N-th tray icon from the right (N from 1): sets TRAY_X TRAY_Y.
# Wine's task bar puts the notification icons at its right end, one 20-pixel
# cell each, the first one placed rightmost.
e2e_tray_icon_pos() {
    local n="${1:-1}"
    e2e_taskbar_rect || return 1
    TRAY_X=$(( TB_RIGHT - 20 * (n - 1) - 10 ))
    TRAY_Y=$(( (TB_TOP + TB_BOTTOM) / 2 ))
}

# True when the N-th tray cell from the right shows something other than the
# task bar's own background.
e2e_tray_icon_shown() {
    local n="${1:-1}" shot colours
    e2e_tray_icon_pos "$n" || return 1
    shot="$E2E_OUT/.tray-probe.png"
    import -window root -display "$DISPLAY" -crop "16x16+$((TRAY_X - 8))+$((TRAY_Y - 8))" "$shot" 2>/dev/null || return 1
    colours=$(convert "$shot" -format '%k' info: 2>/dev/null)
    [ -n "$colours" ] && [ "$colours" -gt 3 ]
}

# Windows of the program: "visible=1" lines mean a visible top-level window.
e2e_visible_windows() {
    e2e_driver list "$1" | grep -c ' visible=1 ' || true
}

# Writes into the installed program's data directory a store whose programs are
# copies of probe.exe in their own folders, each started with distinct
# parameters. Sets E2E_PROBE_LOG (the log file, Linux path) and exports
# PIVORA_PROBE_LOG (its Windows path) for the probes that Pivora starts.
#   root:  Probe one ("alpha one", folder a)
#          --Group-- (captioned separator)
#          Sub >  (plain separator, Probe two ("beta", folder "b c"), Deep > (Probe four))
#          Probe three ('gamma "quoted" 3', folder a)
e2e_probe_store() {
    local a="$E2E_APP/probes/a" b="$E2E_APP/probes/b c" s="$E2E_APP/shortcuts"
    mkdir -p "$a" "$b" "$s/Sub/Deep"
    cp "$E2E_BIN/probe.exe" "$a/probe.exe"
    cp "$E2E_BIN/probe.exe" "$b/probe.exe"
    local pa pb
    pa="$(e2e_winpath "$a")\\probe.exe"
    pb="$(e2e_winpath "$b")\\probe.exe"
    printf '%s\r\n' \
        "^ExeLnk|$pa|alpha one|probe.bmp|Probe one" \
        "^SpeSep|Group" \
        "^Folder|Sub" \
        "^ExeLnk|$pa|gamma \"quoted\" 3|probe1.bmp|Probe three" >"$s/shortcuts.txt"
    printf '%s\r\n' \
        "^NorSep|" \
        "^ExeLnk|$pb|beta|probe.bmp|Probe two" \
        "^Folder|Deep" >"$s/Sub/shortcuts.txt"
    printf '%s\r\n' \
        "^ExeLnk|$pb|delta four|probe.bmp|Probe four" >"$s/Sub/Deep/shortcuts.txt"
    E2E_PROBE_LOG="$E2E_OUT/probe.log"
    rm -f "$E2E_PROBE_LOG"
    PIVORA_PROBE_LOG="$(e2e_winpath "$E2E_PROBE_LOG")"
    export PIVORA_PROBE_LOG
    E2E_PROBE_DIR_A="$(e2e_winpath "$a")"
    E2E_PROBE_DIR_B="$(e2e_winpath "$b")"
}

# Number of lines in the probe log.
e2e_probe_count() {
    [ -f "$E2E_PROBE_LOG" ] || { echo 0; return; }
    wc -l <"$E2E_PROBE_LOG" | tr -d ' '
}

# True once the probe log has at least N lines.
e2e_probe_has() { [ "$(e2e_probe_count)" -ge "$1" ]; }

# True while a popup menu is open on the desktop.
e2e_menu_open() { e2e_driver find --class '#32768' --visible --timeout 0 >/dev/null; }
e2e_menu_closed() { ! e2e_menu_open; }

# Waits until the program's start-up has finished (the tray icon reacts), by
# clicking the icon until the menu opens, then closes it again with Escape.
e2e_wait_tray_ready() {
    local deadline=$(( $(date +%s) + ${1:-30} ))
    e2e_wait_for 20 "the tray icon" e2e_tray_icon_shown 1 || return 1
    while [ "$(date +%s)" -lt "$deadline" ]; do
        e2e_tray_icon_pos 1
        e2e_click "$TRAY_X" "$TRAY_Y" 1
        if e2e_wait_for 2 "the tray menu" e2e_menu_open; then
            e2e_menu_dismiss
            return $?
        fi
    done
    return 1
}

# Rect of the open popup menu: sets MENU_LEFT MENU_TOP MENU_RIGHT MENU_BOTTOM.
e2e_menu_rect() {
    local h info r
    h=$(e2e_driver find --class '#32768' --visible --timeout 3000 | head -1) || return 1
    info=$(e2e_driver info "$h") || return 1
    r=$(sed -n 's/.* rect=\([-0-9,]*\) .*/\1/p' <<<"$info")
    IFS=, read -r MENU_LEFT MENU_TOP MENU_RIGHT MENU_BOTTOM <<<"$r"
    [ -n "$MENU_BOTTOM" ]
}

# Closes an open menu the way a user does, with a click on an empty spot of
# the desktop. (Under Wine 8 a menu that a tray click opened gets no keyboard
# input: the click leaves the foreground with the task bar. One opened by the
# hot key does, so keyboard walks start with Ctrl+L.)
e2e_menu_dismiss() {
    e2e_mouse 20 20
    xdotool click 1
    e2e_wait_for 5 "the menu to close" e2e_menu_closed || return 1
    e2e_pivora_settled
}

# The menu window goes before the program has left the menu's loop, and a
# click on the tray icon until then is taken by that loop: wait until the
# program's thread is out of menu mode, then until its queue is worked off.
e2e_pivora_settled() {
    local w
    w=$(e2e_driver find --class PivoraSystrayWindow --timeout 0 | head -1) || return 0
    e2e_wait_for 5 "the program to leave the menu" e2e_not e2e_driver menumode "$w" || return 1
    e2e_driver send "$w" WM_NULL >/dev/null || true
}

# e2e_not COMMAND...: succeeds when COMMAND fails (for e2e_wait_for).
e2e_not() { ! "$@"; }

# The program's Find window, when shown; how many rows its list holds.
find_window() { e2e_driver find --class TFormFind --visible --timeout 0 | head -1; }
find_shown() { [ -n "$(find_window)" ]; }
find_hidden() { ! find_shown; }
find_rows_are() {  # N
    local h l
    h=$(find_window) || return 1
    l=$(e2e_driver child "$h" --class ListBox | head -1) || return 1
    [ "$(e2e_driver send "$l" LB_GETCOUNT | tr -d '\r\n')" = "$1" ]
}

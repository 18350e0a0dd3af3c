#!/usr/bin/env bash
# Walking the tray menu with the keyboard and choosing entries starts them
# through the shell with their parameters, in their own directory; the order of
# the walk checks the order of the menu. "Close" ends the program and removes
# the tray icon.
#   t_tray_launch.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init tray_launch "$1"
e2e_install
e2e_probe_store
e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the tray icon never opened the menu"

n=0
# choose "KEYS..." EXPECTED-ARGUMENTS EXPECTED-DIRECTORY SCREENSHOT
choose() {
    local keys="$1" args="$2" dir="$3" shot="$4" line
    e2e_mouse 300 200
    e2e_key ctrl+l
    e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no menu for the walk $keys"
    # shellcheck disable=SC2086
    e2e_key $keys
    e2e_screen_settled || true
    e2e_screenshot "$shot"
    e2e_key Return
    n=$(( n + 1 ))
    e2e_wait_for 15 "probe run $n" e2e_probe_has $n || e2e_fail "the walk '$keys' started nothing"
    line=$(sed -n "${n}p" "$E2E_PROBE_LOG" | tr -d '\r')
    e2e_log "walk '$keys': $line"
    case "$line" in
        *"probe.exe\" $args|cwd=$dir" | *"probe.exe $args|cwd=$dir") ;;
        *) e2e_fail "walk '$keys': expected arguments '$args' in '$dir', got: $line" ;;
    esac
    e2e_wait_for 5 "the menu to close" e2e_menu_closed || e2e_fail "the menu stayed open"
}

# Root: Probe one, Group (captioned separator), Sub >, Probe three, Sysmenu, Pivora Kit >, Close
# Sub: (plain separator), Probe two, Deep > (Probe four)
choose "Down" "alpha one" "$E2E_PROBE_DIR_A" walk-probe-one
choose "Down Down Down Right" "beta" "$E2E_PROBE_DIR_B" walk-probe-two
choose "Down Down Down Right Down Right" "delta four" "$E2E_PROBE_DIR_B" walk-probe-four
choose "Down Down Down Down" 'gamma "quoted" 3' "$E2E_PROBE_DIR_A" walk-probe-three

# A second tray program keeps the desktop's task bar alive after Pivora ends
# (Wine closes the virtual desktop with its last window); its icon goes left of
# Pivora's, and moves into Pivora's cell once Pivora's icon is removed.
e2e_start "$E2E_BIN/standin.exe"
e2e_wait_for 20 "the second tray icon" e2e_tray_icon_shown 2 || e2e_fail "the stand-in's icon did not appear"

# "Close" is the last entry: Up from nothing selected lands on it.
e2e_mouse 300 200
e2e_key ctrl+l
e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no menu for Close"
e2e_key Up
e2e_screen_settled || true
e2e_screenshot walk-close
e2e_key Return
e2e_wait_exit "$PV_PID" 15 || e2e_fail "Close did not end the program"
e2e_wait_for 10 "the tray icon to go" e2e_not e2e_tray_icon_shown 2 || e2e_fail "the tray icon stayed"
e2e_tray_icon_shown 1 || e2e_fail "the task bar lost the other program's icon"
e2e_screenshot after-close
[ "$(e2e_probe_count)" = 4 ] || e2e_fail "expected 4 probe runs, got $(e2e_probe_count)"

# Close saved the settings beside the program (its data directory, as no
# glc.ini says otherwise) and left start-with-Windows off.
ini="$E2E_APP/pivora.ini"
[ -f "$ini" ] || e2e_fail "Close wrote no pivora.ini"
tr -d '\r' <"$ini" | tee "$E2E_OUT/pivora.ini.txt"
[ "$(tr -d '\r' <"$ini" | grep '^\[')" = "$(printf '[General Settings]\n[Misc Settings]\n[Font Settings]')" ] ||
    e2e_fail "unexpected sections in pivora.ini"
grep -q '^OpenPivoraHotkey=Ctrl+L' "$ini" || e2e_fail "the hot key is not written as Ctrl+L"
if e2e_reg_query 'HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Run' Kelvory-Pivora; then
    e2e_fail "a start-with-Windows value was written"
fi
e2e_pass

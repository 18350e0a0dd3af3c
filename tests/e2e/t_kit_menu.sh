#!/usr/bin/env bash
# The "Pivora Kit" submenu, walked with the keyboard: its entries come in the
# order Help File, Manage Items..., Find Item..., Preferences..., Visit Website,
# About...;
# choosing Manage Items..., Preferences... and About... shows the manager, the
# preferences dialog and the about box. (Visit Website is not chosen: under Wine
# it would hand the address to the Linux desktop's browser.)
#   t_kit_menu.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init kit_menu "$1"
e2e_install
e2e_probe_store
e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the tray icon never opened the menu"

# choose "KEYS..." WINDOW-CLASS SCREENSHOT
choose() {
    local keys="$1" cls="$2" shot="$3" h
    e2e_mouse 300 150
    e2e_key ctrl+l
    e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no menu for the walk $keys"
    # shellcheck disable=SC2086
    e2e_key $keys
    e2e_screen_settled || true
    e2e_screenshot "$shot-menu"
    e2e_key Return
    h=$(e2e_driver find --class "$cls" --visible --timeout 10000 | head -1) ||
        e2e_fail "the walk '$keys' did not show $cls"
    e2e_driver info "$h"
    e2e_screen_settled || true
    e2e_screenshot "$shot"
    e2e_driver post "$h" WM_CLOSE >/dev/null
    e2e_wait_for 10 "$cls to hide" e2e_not e2e_driver find --class "$cls" --visible --timeout 0 ||
        e2e_fail "$cls did not close"
    e2e_alive "$PV_PID" || e2e_fail "the program ended after closing $cls"
}

# Root from the bottom: Close, Pivora Kit. Kit from the top: Help File,
# Manage Items..., Find Item..., Preferences..., Visit Website, About...
# (separators skipped).
choose "Up Up Right Down" TFormItems manage-items
choose "Up Up Right Down Down" TFormFind find-item
choose "Up Up Right Down Down Down" TFormConfig preferences
choose "Up Up Right Down Down Down Down Down" TFormAbout about
e2e_pass

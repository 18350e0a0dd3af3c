#!/usr/bin/env bash
# With Ctrl+L held by another program, Pivora starts without its hot key and
# without a message, and the tray icon still opens the menu.
#   t_hotkey_taken.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init hotkey_taken "$1"
e2e_install
e2e_probe_store

# MOD_CONTROL = 2, VK 'L' = 0x4C
e2e_start "$E2E_BIN/pvdriver.exe" hotkey 2 0x4C --hold 600000
holder_log="$E2E_OUT/pvdriver.log"
e2e_wait_for 20 "the driver to hold Ctrl+L" grep -q registered "$holder_log" ||
    e2e_fail "the driver could not register Ctrl+L: $(cat "$holder_log")"

e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the tray icon never opened the menu"
# No message box or other visible window.
[ "$(e2e_visible_windows "$PV_WINPID")" = 0 ] || e2e_fail "a window is visible"

# Ctrl+L reaches the holder, not Pivora.
e2e_mouse 400 300
e2e_key ctrl+l
e2e_wait_for 5 "the holder to get Ctrl+L" grep -q hotkey "$holder_log" || e2e_fail "the holder did not get Ctrl+L"
e2e_never 1 "a menu opened" e2e_menu_open || e2e_fail "Ctrl+L opened Pivora's menu"

# The tray icon still works, also for launching.
e2e_tray_icon_pos 1
e2e_click "$TRAY_X" "$TRAY_Y" 1
e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "the tray icon did not open the menu"
e2e_screenshot menu-by-click
# Choose the first entry with the mouse (the menu's first row).
e2e_menu_rect || e2e_fail "no menu rect"
e2e_click $(( MENU_LEFT + 40 )) $(( MENU_TOP + 10 )) 1
e2e_wait_for 15 "the probe" e2e_probe_has 1 || e2e_fail "choosing an entry started nothing"
e2e_alive "$PV_PID" || e2e_fail "the program ended"
e2e_pass

#!/usr/bin/env bash
# Screenshots of the tray menu as the program draws it, kept in the test's
# output folder to be looked at: an empty pivora.ini (Windows draws), Verdana 8
# drawn by the program, bold with side bars in the folder submenus and in the
# Kit submenu, and side bars asked for while Windows draws. Each shot shows the
# root menu with the captioned separators "Group" and "Sysmenu"; then the Kit
# submenu and the folder submenu "Sub".
#   t_menu_draw.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/menu_mouse.sh"
e2e_init menu_draw "$1"
e2e_install
e2e_probe_store

# Number of open popup menus (the root menu and open submenus).
menus_open() {
    e2e_driver list "$PV_WINPID" | grep '#32768' | grep -c ' visible=1 ' || true
}
two_menus_open() { [ "$(menus_open)" -ge 2 ]; }

shoot_case() {
    local name="$1" ini="$2"
    printf '%b' "$ini" >"$E2E_APP/pivora.ini"
    e2e_start_pivora
    mm_wait_ready 30 || e2e_fail "$name: the tray icon never reacted"

    mm_open || e2e_fail "$name: the tray menu did not open"
    e2e_screenshot "$name-root"
    # The Kit submenu is the second entry from the bottom.
    mm_click_from_bottom 2
    e2e_wait_for 5 "the Kit submenu" two_menus_open || e2e_fail "$name: the Kit submenu did not open"
    e2e_screen_settled || true
    e2e_screenshot "$name-kit"
    mm_close || e2e_fail "$name: the menus stayed open"

    # The folder "Sub" is the third entry from the top.
    mm_open || e2e_fail "$name: the tray menu did not open"
    mm_click_from_top 3
    e2e_wait_for 5 "the submenu Sub" two_menus_open || e2e_fail "$name: the submenu Sub did not open"
    e2e_screen_settled || true
    e2e_screenshot "$name-sub"
    mm_close || e2e_fail "$name: the menus stayed open"

    mm_close_program
}

shoot_case empty-ini ''
shoot_case verdana-8 '[Misc Settings]\r\nWindowsDraw=0\r\n[Font Settings]\r\nFontName=Verdana\r\nFontSize=8\r\n'
shoot_case bold-bars '[Misc Settings]\r\nWindowsDraw=0\r\nDrawMenuBar=1\r\n[Font Settings]\r\nFontName=Verdana\r\nFontSize=8\r\nFontStyleBold=1\r\n'
shoot_case windows-bars '[Misc Settings]\r\nWindowsDraw=1\r\nDrawMenuBar=1\r\n'
ls "$E2E_OUT"/*.png
e2e_pass

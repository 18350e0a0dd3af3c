#!/usr/bin/env bash
# A left click and a right click on the tray icon, and Ctrl+L, each pop the
# tray menu up at the mouse; Escape closes it.
#   t_tray_popup.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init tray_popup "$1"
e2e_install
e2e_probe_store
e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the tray icon never opened the menu"

# menu_near X Y SLACK: the menu touches the cursor position, within SLACK
# pixels (a menu opened near the task bar is pushed up and left into the work
# area; one opened in the open has its top-left corner at the cursor).
menu_near() {
    local h info r l t rr b dx dy
    h=$(e2e_driver find --class '#32768' --visible --timeout 3000 | head -1) || return 1
    info=$(e2e_driver info "$h")
    echo "$info"
    r=$(sed -n 's/.* rect=\([-0-9,]*\) .*/\1/p' <<<"$info")
    IFS=, read -r l t rr b <<<"$r"
    dx=0; dy=0
    [ "$1" -lt "$l" ] && dx=$(( l - $1 ))
    [ "$1" -gt "$rr" ] && dx=$(( $1 - rr ))
    [ "$2" -lt "$t" ] && dy=$(( t - $2 ))
    [ "$2" -gt "$b" ] && dy=$(( $2 - b ))
    if [ "$3" = 0 ]; then
        [ "$l" = "$1" ] && [ "$t" = "$2" ]
    else
        [ "$dx" -le "$3" ] && [ "$dy" -le "$3" ]
    fi
}

close_by_escape() {
    e2e_key Escape
    e2e_wait_for 5 "the menu to close" e2e_menu_closed || e2e_fail "Escape did not close the menu"
}
close_by_click() {
    e2e_menu_dismiss || e2e_fail "a click beside the menu did not close it"
}

e2e_tray_icon_pos 1
for button in 1 3; do
    name=$([ $button = 1 ] && echo left || echo right)
    e2e_click "$TRAY_X" "$TRAY_Y" $button
    e2e_wait_for 5 "the menu after a $name click" e2e_menu_open || e2e_fail "no menu after a $name click"
    menu_near "$TRAY_X" "$TRAY_Y" 20 || e2e_fail "the menu is not at the cursor after a $name click"
    # What the harness waits on before the next click (e2e_pivora_settled).
    e2e_driver menumode "$(e2e_driver find --class PivoraSystrayWindow --timeout 0 | head -1)" ||
        e2e_fail "the program is not in menu mode while its menu is open"
    e2e_screenshot "menu-$name-click"
    close_by_click
done

e2e_mouse 400 300
e2e_key ctrl+l
e2e_wait_for 5 "the menu after Ctrl+L" e2e_menu_open || e2e_fail "no menu after Ctrl+L"
menu_near 400 300 0 || e2e_fail "the menu is not at the cursor after Ctrl+L"
e2e_screenshot menu-ctrl-l
close_by_escape

e2e_alive "$PV_PID" || e2e_fail "the program ended"
[ "$(e2e_probe_count)" = 0 ] || e2e_fail "closing the menu started something"
e2e_pass

# Tray-menu helpers that use only the mouse (source after lib.sh). Keys sent
# with xdotool do not always reach a popup menu under Wine's virtual desktop;
# clicks do. Item positions come from the menu window's rectangle: the entries
# of the program's menus are 19 pixels high and the frame a few pixels wide.

# Rectangle of the (first) open popup menu: sets MENU_L MENU_T MENU_R MENU_B.
mm_menu_rect() {
    local h info r
    h=$(e2e_driver find --class '#32768' --visible --timeout 3000 | head -1) || return 1
    info=$(e2e_driver info "$h") || return 1
    r=$(sed -n 's/.* rect=\([-0-9,]*\) .*/\1/p' <<<"$info")
    IFS=, read -r MENU_L MENU_T MENU_R MENU_B <<<"$r"
    [ -n "$MENU_B" ]
}

# Opens the tray menu with a click on the icon; false when it does not open.
mm_open() {
    e2e_tray_icon_pos 1 || return 1
    e2e_click "$TRAY_X" "$TRAY_Y" 1
    e2e_wait_for 3 "the tray menu" e2e_menu_open || return 1
    # Its rectangle once it is drawn where it stays.
    e2e_menu_settled || true
    mm_menu_rect
}

# Closes every open menu with a click on the empty desktop.
mm_close() {
    e2e_click 300 200 1
    e2e_wait_for 5 "the menus to close" e2e_menu_closed
}

# Clicks the N-th entry counted from the bottom of the open menu (1 = last).
mm_click_from_bottom() {
    e2e_click $((MENU_L + 30)) $((MENU_B - 12 - 19 * ($1 - 1))) 1
}

# Clicks the N-th entry counted from the top of the open menu (1 = first).
mm_click_from_top() {
    e2e_click $((MENU_L + 30)) $((MENU_T + 12 + 19 * ($1 - 1))) 1
}

# Waits until start-up has finished: the icon opens the menu; closes it again.
mm_wait_ready() {
    local deadline=$(( $(date +%s) + ${1:-30} ))
    e2e_wait_for 20 "the tray icon" e2e_tray_icon_shown 1 || return 1
    while [ "$(date +%s)" -lt "$deadline" ]; do
        if mm_open; then
            mm_close
            return $?
        fi
    done
    return 1
}

# Chooses "Close", the last entry of the tray menu, and waits for the end.
mm_close_program() {
    mm_open || e2e_fail "the tray menu did not open"
    [ -n "${1:-}" ] && e2e_screenshot "$1"
    mm_click_from_bottom 1
    e2e_wait_exit "$PV_PID" 20 || e2e_fail "Close did not end the program"
}

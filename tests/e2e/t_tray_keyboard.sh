#!/usr/bin/env bash
# The icon reached from the keyboard, as the shell reports it to an icon of
# NOTIFYICON_VERSION_4: NIN_KEYSELECT (Enter on the focused icon) and
# WM_CONTEXTMENU (Shift+F10, the menu key), the event in the low word of lParam
# and the anchor in wParam, open the tray menu at the icon, above it on this
# bottom task bar and leaving it uncovered. A mouse click still opens the menu
# once: the release that follows (NIN_SELECT) does not open it again.
#   t_tray_keyboard.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init tray_keyboard "$1"
e2e_install
e2e_probe_store
e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the tray icon never opened the menu"

icon_window=$(e2e_driver find --class PivoraSystrayWindow --timeout 5000 | head -1) || e2e_fail "no icon window"
e2e_tray_icon_pos 1 || e2e_fail "no task bar"
# The icon's cell: Wine's task bar paints its icons itself, 20 pixels each
# and as high as the bar, the first at the right end.
IL=$(( TRAY_X - 10 )); IR=$(( TRAY_X + 10 )); IT=$TB_TOP; IB=$TB_BOTTOM
icon_rect="$IL,$IT,$IR,$IB"
e2e_log "icon at $icon_rect, task bar top $TB_TOP"

# open_by NAME EVENT: the event posted as the shell sends it; the menu must
# stand on the icon's top edge and overlap it sideways.
open_by() {
    local name="$1" event="$2" lparam wparam
    lparam=$(( (1 << 16) | event ))
    wparam=$(( (TRAY_Y << 16) | TRAY_X ))
    e2e_driver post "$icon_window" 32769 "$wparam" "$lparam" >/dev/null
    e2e_wait_for 5 "the menu after $name" e2e_menu_open || e2e_fail "no menu after $name"
    e2e_menu_rect || e2e_fail "no menu rect after $name"
    e2e_log "$name: menu at $MENU_LEFT,$MENU_TOP,$MENU_RIGHT,$MENU_BOTTOM"
    e2e_settled_screenshot "menu-$name"
    [ "$MENU_BOTTOM" -le "$IT" ] && [ "$MENU_BOTTOM" -ge $(( IT - 2 )) ] ||
        e2e_fail "after $name the menu ends at $MENU_BOTTOM, the icon starts at $IT"
    [ "$MENU_LEFT" -lt "$IR" ] && [ "$MENU_RIGHT" -gt "$IL" ] ||
        e2e_fail "after $name the menu ($MENU_LEFT..$MENU_RIGHT) is not beside the icon ($IL..$IR)"
    e2e_menu_dismiss || e2e_fail "the menu did not close"
}
open_by keyselect $(( 0x401 ))
open_by contextmenu $(( 0x7B ))

# A left click: one menu, at the cursor; closed, it stays closed.
e2e_click "$TRAY_X" "$TRAY_Y" 1
e2e_wait_for 5 "the menu after a click" e2e_menu_open || e2e_fail "no menu after a click"
e2e_menu_dismiss || e2e_fail "the menu did not close"
e2e_never 2 "the menu opening again after the click" e2e_menu_open || e2e_fail "the click's release opened the menu again"
# The pointer resting on the icon shows its tip: the program's name.
e2e_mouse "$TRAY_X" "$TRAY_Y"
tip_shown() {
    local h
    for h in $(e2e_driver find --class tooltips_class32 --visible --timeout 0); do
        [ "$(e2e_driver gettext "$h" | tr -d '\r')" = "Kelvory Pivora" ] && return 0
    done
    return 1
}
e2e_wait_for 10 "the icon's tip" tip_shown || e2e_fail "no tip naming the program over the icon"
e2e_screenshot icon-tip

e2e_alive "$PV_PID" || e2e_fail "the program ended"
[ "$(e2e_probe_count)" = 0 ] || e2e_fail "opening the menu started something"
e2e_pass

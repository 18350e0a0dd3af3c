#!/usr/bin/env bash
# The right button on a link entry of the tray menu opens the entry's context
# menu beside it, drawn as the tray menu is (light and dark): Open, Run as
# administrator, Open file location, Copy path, Edit in Pivora. "Copy path"
# puts the entry's path on the clipboard, also for an entry of a submenu;
# "Open file location" shows its folder in Explorer; Enter right after the right button
# starts the entry, as the right button used to; "Edit in Pivora" shows the
# manager with the entry selected. The right button on a folder opens it and
# on "Close" ends the program, as before.
#   t_entry_menu.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init entry_menu "$1"
e2e_install
e2e_probe_store
# The program draws the menu (its font, its dark colours).
printf '[Misc Settings]\r\nWindowsDraw=0\r\n[Font Settings]\r\nFontName=Verdana\r\nFontSize=8\r\n' \
    >"$E2E_APP/pivora.ini"
THEME_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize'
set_dark() { e2e_wine reg add "$THEME_KEY" /v AppsUseLightTheme /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
set_dark 1
e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the tray icon never opened the menu"

# Visible menu windows of the program, one "L,T,R,B" line each.
menus() { e2e_driver list "$PV_WINPID" | grep 'visible=1 .*class="#32768"' | sed -n 's/.* rect=\([-0-9,]*\) .*/\1/p'; }
menus_are() { [ "$(menus | wc -l)" = "$1" ]; }

# Opens the tray menu with the hot key at 300,200 (the keyboard reaches a menu
# opened so), then presses the right button on its N-th entry from the top.
right_click_entry() {  # N
    e2e_mouse 300 200
    e2e_key ctrl+l
    e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no tray menu"
    e2e_menu_settled || true
    e2e_menu_rect || e2e_fail "no rectangle for the tray menu"
    local x=$((MENU_LEFT + 40)) y=$((MENU_TOP + 12 + 19 * ($1 - 1)))
    # Moving onto the entry selects it, as a hand on the mouse does first.
    e2e_mouse $((x - 5)) "$y"
    e2e_mouse "$x" "$y"
    sleep 0.3
    xdotool click 3
}

# The context menu is the menu window besides the tray menu's, at the pointer.
context_menu_shown() {
    right_click_entry "$1"
    e2e_wait_for 5 "the context menu" menus_are 2 || e2e_fail "the right button on entry $1 opened no context menu"
    local rect
    rect=$(menus | grep -v "^$MENU_LEFT,$MENU_TOP,$MENU_RIGHT,$MENU_BOTTOM\$" | head -1)
    IFS=, read -r CM_L CM_T CM_R CM_B <<<"$rect"
    e2e_log "context menu at $rect"
    e2e_screen_settled "$CM_L" "$CM_T" $((CM_R - CM_L)) $((CM_B - CM_T)) || true
}

# Root: Probe one, Group (captioned separator), Sub >, Probe three, Sysmenu, Pivora Kit >, Close

# ---- light: the menu, looked at; "Copy path" on Probe one
context_menu_shown 1
e2e_screenshot entry-menu-light
# Open, Run as administrator, Open file location, Copy path, Edit in Pivora
# with the program's row height (19) and one plain separator (8).
height=$((CM_B - CM_T))
[ "$height" -ge $((5 * 19 + 8)) ] && [ "$height" -le $((5 * 19 + 8 + 12)) ] ||
    e2e_fail "the context menu is $height pixels high, not five rows and a separator"
e2e_key c
e2e_wait_for 5 "the menus to close" e2e_menu_closed || e2e_fail "Copy path left a menu open"
e2e_pivora_settled || true
clip=$(e2e_driver clipboard | tr -d '\r\n') || e2e_fail "Copy path put no text on the clipboard"
e2e_log "clipboard: $clip"
[ "$clip" = "$E2E_PROBE_DIR_A\\probe.exe" ] || e2e_fail "the clipboard holds '$clip'"
[ "$(e2e_probe_count)" = 0 ] || e2e_fail "Copy path started the entry"

# ---- "Open file location" on Probe one: Explorer shows its folder ("a")
context_menu_shown 1
e2e_key l
e2e_wait_for 5 "the menus to close" e2e_menu_closed || e2e_fail "Open file location left a menu open"
e2e_pivora_settled || true
x=$(e2e_driver find --class ExplorerWClass --title a --visible --timeout 15000 | head -1) ||
    e2e_fail "Open file location showed no Explorer window on the probe's folder"
e2e_driver info "$x"
e2e_screen_settled || true
e2e_screenshot entry-menu-location
e2e_driver post "$x" WM_CLOSE >/dev/null
e2e_wait_for 10 "Explorer to close" e2e_not e2e_driver find --class ExplorerWClass --visible --timeout 0 ||
    e2e_fail "the Explorer window stayed"
[ "$(e2e_probe_count)" = 0 ] || e2e_fail "Open file location started the entry"

# ---- the right button, then Enter: Probe three starts as the right button started it before
context_menu_shown 4
e2e_key Return
e2e_wait_for 15 "the probe" e2e_probe_has 1 || e2e_fail "Enter on the context menu started nothing"
line=$(sed -n 1p "$E2E_PROBE_LOG" | tr -d '\r')
e2e_log "started: $line"
case "$line" in
    *'probe.exe" gamma "quoted" 3|cwd='"$E2E_PROBE_DIR_A" | *'probe.exe gamma "quoted" 3|cwd='"$E2E_PROBE_DIR_A") ;;
    *) e2e_fail "Open started: $line" ;;
esac
e2e_wait_for 5 "the menus to close" e2e_menu_closed || e2e_fail "Open left a menu open"
e2e_pivora_settled || true

# ---- dark, set while the program runs; "Edit in Pivora" on Probe three
set_dark 0
context_menu_shown 4
e2e_screenshot entry-menu-dark
e2e_key e
h=$(e2e_driver find --class TFormItems --visible --timeout 10000 | head -1) || e2e_fail "Edit in Pivora showed no manager"
e2e_screen_settled || true
e2e_screenshot entry-menu-edit
# The selected node's text, in the name field the selection fills (showing the
# manager alone selects the first node, Probe one).
name=""
for e in $(e2e_driver child "$h" --class Edit); do
    t=$(e2e_driver gettext "$e" | tr -d '\r\n')
    [ "$t" = "Probe three" ] && name=$t
done
[ "$name" = "Probe three" ] || e2e_fail "the manager does not show Probe three"
e2e_driver post "$h" WM_CLOSE >/dev/null
e2e_wait_for 10 "the manager to hide" e2e_not e2e_driver find --class TFormItems --visible --timeout 0 ||
    e2e_fail "the manager did not close"
set_dark 1

# ---- folders and the program's own entries: the right button as before;
# an entry of a submenu has its context menu too
right_click_entry 3  # Sub >: its submenu opens, no context menu
e2e_wait_for 5 "the submenu" menus_are 2 || e2e_fail "the right button on a folder did not open it"
sleep 0.5
menus_are 2 || e2e_fail "the right button on a folder opened more than its submenu"
[ "$(e2e_probe_count)" = 1 ] || e2e_fail "the right button on a folder started something"
sub=$(menus | grep -v "^$MENU_LEFT,$MENU_TOP,$MENU_RIGHT,$MENU_BOTTOM\$" | head -1)
IFS=, read -r SUB_L SUB_T _ _ <<<"$sub"
# Sub: (plain separator, 8 pixels), Probe two, Deep >
e2e_mouse $((SUB_L + 35)) $((SUB_T + 3 + 8 + 9))
e2e_mouse $((SUB_L + 40)) $((SUB_T + 3 + 8 + 9))
sleep 0.3
xdotool click 3
e2e_wait_for 5 "the context menu in the submenu" menus_are 3 || e2e_fail "no context menu on a submenu's entry"
e2e_screen_settled || true
e2e_screenshot entry-menu-submenu
e2e_key c
e2e_wait_for 5 "the menus to close" e2e_menu_closed || e2e_fail "Copy path left a menu open"
e2e_pivora_settled || true
clip=$(e2e_driver clipboard | tr -d '\r\n') || e2e_fail "Copy path put no text on the clipboard"
[ "$clip" = "$E2E_PROBE_DIR_B\\probe.exe" ] || e2e_fail "the clipboard holds '$clip', not Probe two's path"
e2e_mouse 300 200
e2e_key ctrl+l
e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no tray menu for Close"
e2e_menu_settled || true
e2e_menu_rect || e2e_fail "no rectangle for the tray menu"
e2e_mouse $((MENU_LEFT + 35)) $((MENU_BOTTOM - 12))
e2e_mouse $((MENU_LEFT + 40)) $((MENU_BOTTOM - 12))
sleep 0.3
xdotool click 3
e2e_wait_exit "$PV_PID" 20 || e2e_fail "the right button on Close did not end the program"

# ---- drawn by Windows: the system's menu, Open in bold by the system
printf '[Misc Settings]\r\nWindowsDraw=1\r\n' >"$E2E_APP/pivora.ini"
e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the tray icon never opened the menu again"
context_menu_shown 1
e2e_screenshot entry-menu-windows-draw
e2e_key c
e2e_wait_for 5 "the menus to close" e2e_menu_closed || e2e_fail "Copy path left a menu open"
e2e_pivora_settled || true
clip=$(e2e_driver clipboard | tr -d '\r\n') || e2e_fail "Copy path put no text on the clipboard"
[ "$clip" = "$E2E_PROBE_DIR_A\\probe.exe" ] || e2e_fail "drawn by Windows, the clipboard holds '$clip'"
e2e_pass

#!/usr/bin/env bash
# Saves keep backups, and Restore... brings one back: three saves, each
# keeping the store it replaced under backups\; the Restore list shows the
# three, newest first (screenshot); the oldest restored shows in the tree as an
# unsaved edit, is saved, and the store on disk is that backup's again.
#   t_restore.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init restore "$1"
e2e_install
e2e_probe_store
d="$E2E_APP"
# The index files of a store, each under its relative name.
indexes() { (cd "$1" && find . -name shortcuts.txt | LC_ALL=C sort | while read -r f; do echo "== $f"; cat "$f"; done); }
original=$(indexes "$d/shortcuts")
e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the tray icon never opened the menu"

e2e_mouse 300 150
e2e_key ctrl+l
e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no menu"
e2e_key Up Up Right Down Return
FORM=$(e2e_driver find --class TFormItems --visible --timeout 10000 | head -1) || e2e_fail "the manager did not show"
TREE=$(e2e_driver child "$FORM" --class SysTreeView32 | head -1)
STATUS=$(e2e_driver child "$FORM" --class msctls_statusbar32 | head -1)
button() { e2e_driver child "$FORM" --class Button --title "$1" | head -1; }
click() { e2e_driver send "$(button "$1")" BM_CLICK >/dev/null; }
status_is() { [ "$(e2e_driver status-text "$STATUS")" = "$1" ]; }
status_starts() { case "$(e2e_driver status-text "$STATUS")" in "$1"*) return 0 ;; esac; return 1; }
tree() { e2e_driver tree-dump "$TREE"; }

name="Probe one"
for n in 1 2 3; do
    e2e_driver tree-select "$TREE" "$name" >/dev/null || e2e_fail "no node $name"
    e2e_driver settext "$(e2e_driver child "$FORM" --id 1103 | head -1)" "Saved $n" >/dev/null
    name="Saved $n"
    # The last save's message gone first: an equal message does not restart its time.
    e2e_wait_for 10 "the status line to clear" e2e_not status_starts "Save" || e2e_fail "the status line kept its message"
    click "S&ave"
    e2e_wait_for 5 "save $n" status_is "Save succesful!" || e2e_fail "save $n: $(e2e_driver status-text "$STATUS")"
done
[ "$(find "$d/backups" -mindepth 1 -maxdepth 1 -type d | wc -l)" = 3 ] || e2e_fail "not three backups: $(ls "$d/backups")"
oldest=$(ls "$d/backups" | LC_ALL=C sort | head -1)
[ "$(indexes "$d/backups/$oldest")" = "$original" ] || e2e_fail "the first backup is not the store before the first save"
e2e_screenshot manager-restore-button

# Restore...: the modal list (posted: the click returns only when it closes).
e2e_driver post "$(button '&Restore...')" BM_CLICK >/dev/null
DLG=$(e2e_driver find --title Restore --visible --timeout 10000 | head -1) || e2e_fail "no Restore list"
LIST=$(e2e_driver child "$DLG" --class ListBox | head -1)
[ "$(e2e_driver send "$LIST" LB_GETCOUNT)" = 3 ] || e2e_fail "the list does not show three backups"
e2e_screen_settled || true
e2e_screenshot restore-list
e2e_driver send "$LIST" 0x0186 2 >/dev/null  # LB_SETCURSEL: the oldest, last in the list
e2e_screenshot restore-list-oldest
e2e_driver send "$(e2e_driver child "$DLG" --class Button --title OK | head -1)" BM_CLICK >/dev/null
e2e_wait_for 10 "the list to close" e2e_not e2e_driver find --title Restore --visible --timeout 0 ||
    e2e_fail "the Restore list stayed"
e2e_wait_for 5 "the restore" status_starts "Restored the items of" || e2e_fail "restore: $(e2e_driver status-text "$STATUS")"
tree | grep -qx "Probe one" || e2e_fail "the restored store is not in the tree"
tree | grep -qx "Saved 3" && e2e_fail "the restored tree still shows the last save"
[ "$(indexes "$d/shortcuts" | grep -c 'Saved 3')" = 1 ] || e2e_fail "the restore wrote to the store before Save"
e2e_screenshot restored

e2e_wait_for 10 "the status line to clear" e2e_not status_starts "Restored" || e2e_fail "the status line kept its message"
click "S&ave"
e2e_wait_for 5 "the save" status_is "Save succesful!" || e2e_fail "save: $(e2e_driver status-text "$STATUS")"
[ "$(indexes "$d/shortcuts")" = "$original" ] || {
    diff <(echo "$original") <(indexes "$d/shortcuts") || true
    e2e_fail "the saved store is not the restored backup"
}
[ "$(find "$d/backups" -mindepth 1 -maxdepth 1 -type d | wc -l)" = 4 ] || e2e_fail "the save did not keep the store it replaced"

# With the system's apps dark: the list, like the manager, keeps the window
# colours of the system (dark applies to the tray menus); Cancel restores nothing.
THEME_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize'
# The prefix is shared with later tests: light again whatever happens.
light() { e2e_wine reg add "$THEME_KEY" /v AppsUseLightTheme /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
light 0
before=$(indexes "$d/shortcuts")
e2e_driver post "$(button '&Restore...')" BM_CLICK >/dev/null
DLG=$(e2e_driver find --title Restore --visible --timeout 10000 | head -1) || { light 1; e2e_fail "no Restore list the second time"; }
e2e_screen_settled || true
e2e_screenshot restore-list-dark
light 1
LIST=$(e2e_driver child "$DLG" --class ListBox | head -1)
[ "$(e2e_driver send "$LIST" LB_GETCOUNT)" = 4 ] || e2e_fail "the list does not show four backups"
e2e_driver send "$(e2e_driver child "$DLG" --class Button --title Cancel | head -1)" BM_CLICK >/dev/null
e2e_wait_for 10 "the list to close" e2e_not e2e_driver find --title Restore --visible --timeout 0 ||
    e2e_fail "Cancel left the Restore list open"
tree | grep -qx "Probe one" || e2e_fail "Cancel changed the tree"
[ "$(indexes "$d/shortcuts")" = "$before" ] || e2e_fail "Cancel changed the store"
e2e_pass

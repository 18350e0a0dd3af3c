#!/usr/bin/env bash
# The manager window as a person uses it: opened from the Kit submenu; a
# folder, a program item and a captioned separator selected (screenshots); the
# status line shows a button's hint while the pointer is on it and "Ready"
# after; an item renamed, a program's parameters edited, a deleted target swept
# away, undone, done again, saved and closed: the tray menu then shows the saved
# store and its entry starts the probe with the new parameters. A change closed
# without saving leaves store and menu as they were. A locked leftover item_bak
# makes Save fail with the data directory's short path in the status line.
#   t_manager.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init manager "$1"
e2e_install
e2e_probe_store
d="$E2E_APP"
echo x >"$d/gone.txt"
printf '%s\r\n' "^UnkLnk|$(e2e_winpath "$d")\\gone.txt|txt|Gone doc" >>"$d/shortcuts/shortcuts.txt"
e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the tray icon never opened the menu"

# open_manager: the Kit submenu's "Manage Items..."; sets FORM TREE STATUS.
open_manager() {
    e2e_mouse 300 150
    e2e_key ctrl+l
    e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no menu"
    e2e_key Up Up Right Down Return
    FORM=$(e2e_driver find --class TFormItems --visible --timeout 10000 | head -1) || e2e_fail "the manager did not show"
    TREE=$(e2e_driver child "$FORM" --class SysTreeView32 | head -1)
    STATUS=$(e2e_driver child "$FORM" --class msctls_statusbar32 | head -1)
    [ -n "$TREE" ] && [ -n "$STATUS" ] || e2e_fail "no tree or status bar in the manager"
}
control() { e2e_driver child "$FORM" --id "$1" | head -1; }
button() { e2e_driver child "$FORM" --class Button --title "$1" | head -1; }
click() { e2e_driver send "$(button "$1")" BM_CLICK >/dev/null; }
select_node() { e2e_driver tree-select "$TREE" "$1" >/dev/null || e2e_fail "no node $1"; }
tree() { e2e_driver tree-dump "$TREE"; }
status_is() { [ "$(e2e_driver status-text "$STATUS")" = "$1" ]; }
status_starts() { [[ "$(e2e_driver status-text "$STATUS")" == "$1"* ]]; }
name_field() { control 1103; }
params_field() { control 1108; }
label_is() { [ "$(e2e_driver gettext "$(control 1104)")" = "$1" ]; }

open_manager
e2e_screen_settled || true
e2e_screenshot opened
select_node Sub
e2e_wait_for 5 "the folder's kind" label_is "Item Type: Virtual item" || e2e_fail "folder not shown as such"
e2e_screenshot folder
select_node "Probe one"
e2e_wait_for 5 "the program's kind" label_is "Item Type: Executable item" || e2e_fail "program not shown as such"
[ "$(e2e_driver gettext "$(params_field)")" = "alpha one" ] || e2e_fail "the parameters field does not show alpha one"
e2e_screenshot program
select_node "--Group--"
e2e_wait_for 5 "the separator's kind" label_is "Item Type: Separator item" || e2e_fail "separator not shown as such"
[ "$(e2e_driver gettext "$(name_field)")" = "Group" ] || e2e_fail "the caption is not shown without its dashes"
e2e_screenshot separator
# Selecting a program node shows "Sysmenu" and leaves the node's text as it is.
select_node "--Sysmenu--"
e2e_wait_for 5 "the program node's kind" label_is "Item Type: Program item" || e2e_fail "program node not shown as such"
[ "$(e2e_driver gettext "$(name_field)")" = "Sysmenu" ] || e2e_fail "the program node's text is not shown as Sysmenu"
tree | grep -qx -- "--Sysmenu--" || e2e_fail "selecting rewrote the program node's text"
e2e_screenshot sysmenu

# The hint of Save while the pointer rests on it, "Ready" once it has left.
info=$(e2e_driver info "$(button 'S&ave')")
r=$(sed -n 's/.* rect=\([-0-9,]*\) .*/\1/p' <<<"$info")
IFS=, read -r bl bt br bb <<<"$r"
e2e_driver foreground "$FORM" >/dev/null || true
e2e_mouse $(( (bl + br) / 2 )) $(( (bt + bb) / 2 ))
e2e_wait_for 5 "the hint" status_is "Save changes take effect after closing the form - only new changes can be undone" ||
    e2e_fail "no hint: $(e2e_driver status-text "$STATUS")"
e2e_screenshot hint
e2e_mouse 400 500  # the tree's empty space: no hint there
e2e_wait_for 5 "Ready" status_is "Ready" || e2e_fail "the status line did not come back to Ready"

# Rename, sweep, undo: all gone again.
select_node "Probe three"
e2e_driver settext "$(name_field)" "Probe 3 renamed" >/dev/null
tree | grep -qx "Probe 3 renamed" || e2e_fail "the rename did not reach the tree"
rm -f "$d/gone.txt"
click "&Sweep"
tree | grep -qx "Gone doc" && e2e_fail "the sweep left the deleted target"
e2e_wait_for 5 "the sweep's count" status_starts "Sweep removed 1 item" ||
    e2e_fail "sweep: $(e2e_driver status-text "$STATUS")"
e2e_screenshot swept
click "&Undo"
tree | grep -qx "Gone doc" || e2e_fail "undo did not bring the swept item back"
tree | grep -qx "Probe three" || e2e_fail "undo did not take the rename back"

# Again, with new parameters, then saved and closed.
select_node "Probe three"
e2e_driver settext "$(name_field)" "Probe 3 renamed" >/dev/null
select_node "Probe one"
e2e_driver settext "$(params_field)" "omega new" >/dev/null
click "&Sweep"
click "S&ave"
e2e_wait_for 5 "the save" status_is "Save succesful!" || e2e_fail "save: $(e2e_driver status-text "$STATUS")"
e2e_screenshot saved
grep -q "^\\^ExeLnk|.*probe.exe|omega new|probe.bmp|Probe one" "$d/shortcuts/shortcuts.txt" ||
    e2e_fail "the store lacks the new parameters"
grep -q "|Probe 3 renamed" "$d/shortcuts/shortcuts.txt" || e2e_fail "the store lacks the rename"
grep -q "Gone doc" "$d/shortcuts/shortcuts.txt" && e2e_fail "the swept item was saved"
[ ! -e "$d/item_bak" ] || e2e_fail "item_bak left behind"
click "C&lose"
e2e_wait_for 10 "the manager to close" e2e_not e2e_driver find --class TFormItems --visible --timeout 0 ||
    e2e_fail "the manager stayed"

# The rebuilt menu: its first entry starts the probe with the new parameters.
e2e_mouse 300 200
e2e_key ctrl+l
e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no menu after the save"
e2e_screenshot menu-after-save
e2e_key Down Return
e2e_wait_for 15 "the probe" e2e_probe_has 1 || e2e_fail "the first entry started nothing"
grep -q 'probe.exe"\? omega new|' "$E2E_PROBE_LOG" || e2e_fail "not started with the new parameters: $(cat "$E2E_PROBE_LOG")"

# A change closed without saving: store and menu stay.
store=$(cat "$d/shortcuts/shortcuts.txt")
open_manager
select_node "Probe one"
e2e_driver settext "$(name_field)" "Never saved" >/dev/null
tree | grep -qx "Never saved" || e2e_fail "the rename did not reach the tree"
e2e_driver post "$FORM" WM_CLOSE >/dev/null
e2e_wait_for 10 "the manager to close" e2e_not e2e_driver find --class TFormItems --visible --timeout 0 ||
    e2e_fail "the manager stayed"
[ "$(cat "$d/shortcuts/shortcuts.txt")" = "$store" ] || e2e_fail "closing without saving changed the store"
open_manager
tree | grep -qx "Probe one" || e2e_fail "reopened, the manager does not show the saved state"

# A leftover item_bak that is held open: Save fails and says where.
mkdir -p "$d/item_bak"
echo old >"$d/item_bak/shortcuts.txt"
e2e_start "$E2E_BIN/pvdriver.exe" lock "$(e2e_winpath "$d/item_bak/shortcuts.txt")"
e2e_wait_for 20 "the lock" grep -q locked "$E2E_OUT/pvdriver.log" || e2e_fail "could not lock item_bak"
short=$(e2e_driver shortpath "$(e2e_winpath "$d")\\" | tr -d '\r')
click "S&ave"
expected="Save unsuccesful! ${short}item_bak\\ already exists(!), please restart Pivora"
e2e_wait_for 5 "the failure" status_is "$expected" || e2e_fail "expected '$expected', got '$(e2e_driver status-text "$STATUS")'"
e2e_screenshot save-failed
[ "$(cat "$d/shortcuts/shortcuts.txt")" = "$store" ] || e2e_fail "the failed save changed the store"
e2e_alive "$PV_PID" || e2e_fail "the program ended"
e2e_pass

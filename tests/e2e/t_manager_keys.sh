#!/usr/bin/env bash
# The manager from the keyboard, typed for real: F2 to the name field, a
# folder renamed to a sibling's name (the refusal stays while the field holds
# it; Enter takes the name back and says so), a name typed through "Game "
# (nothing refused on the way), a device name taken back when Save is clicked;
# Del and Ctrl+Z in the tree; Esc during a drag ends only the drag; Esc with
# unsaved edits asks whether to save them (Cancel stays, Yes saves and closes).
#   t_manager_keys.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init manager_keys "$1"
e2e_install
e2e_probe_store
d="$E2E_APP"
mkdir -p "$d/shortcuts/Tools" "$d/shortcuts/Docs"
printf '%s\r\n' "^Folder|Tools" "^Folder|Docs" >>"$d/shortcuts/shortcuts.txt"
e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the tray icon never opened the menu"

e2e_mouse 300 150
e2e_key ctrl+l
e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no menu"
e2e_key Up Up Right Down Return
FORM=$(e2e_driver find --class TFormItems --visible --timeout 10000 | head -1) || e2e_fail "the manager did not show"
TREE=$(e2e_driver child "$FORM" --class SysTreeView32 | head -1)
STATUS=$(e2e_driver child "$FORM" --class msctls_statusbar32 | head -1)
NAME=$(e2e_driver child "$FORM" --id 1103 | head -1)
button() { e2e_driver child "$FORM" --class Button --title "$1" | head -1; }
tree() { e2e_driver tree-dump "$TREE"; }
has() { tree | grep -qx -- "$1"; }
status() { e2e_driver status-text "$STATUS"; }
status_is() { [ "$(status)" = "$1" ]; }
name_is() { [ "$(e2e_driver gettext "$NAME")" = "$1" ]; }
focus_is() { [ "$(e2e_driver focus "$FORM" | awk '{print $1}')" = "$(awk '{print $1}' <<<"$1")" ]; }
visible() { e2e_driver find --class TFormItems --visible --timeout 0 >/dev/null; }
question() { e2e_driver find --class '#32770' --visible --timeout 0 >/dev/null; }
centre() {  # the centre of a tree item's text, or of a window
    local r
    if [ $# -eq 1 ]; then r=$(e2e_driver tree-rect "$TREE" "$1" | tr -d '\r')
    else r=$(sed -n 's/.* rect=\([-0-9,]*\) .*/\1/p' <<<"$(e2e_driver info "$2")"); fi
    IFS=, read -r l t rr b <<<"$r"
    echo $(( (l + rr) / 2 )) $(( (t + b) / 2 ))
}
click_at() { e2e_mouse "$1" "$2"; xdotool click 1; }
pick() { e2e_driver foreground "$FORM" >/dev/null || true; click_at $(centre "$1"); }  # a real click on an item

dup="The folder name may not be duplicated on the same level in the TreeView"
dev="The folder name can not be a device name (e.g. CON, NUL, COM1) or end with a dot or a space"

# F2 on Tools: the field, its text selected; "docs" beside Docs is refused.
pick Tools
e2e_key F2
e2e_wait_for 5 "the name field's focus" focus_is "$NAME" || e2e_fail "F2 did not reach the name field"
xdotool type --delay 120 docs
e2e_wait_for 5 "the refusal" status_is "$dup" || e2e_fail "no refusal: $(status)"
name_is docs || e2e_fail "the field does not hold what was typed"
has Tools || e2e_fail "the tree lost Tools: $(tree)"
has doc && e2e_fail "the tree shows the prefix doc"
e2e_screenshot refused-while-typing
e2e_never 6 "the refusal left the status line" e2e_not status_is "$dup" || e2e_fail "the refusal did not stay: $(status)"
e2e_key Return
e2e_wait_for 5 "the tree's focus" focus_is "$TREE" || e2e_fail "Enter did not go back to the tree"
e2e_wait_for 5 "the name taken back" name_is Tools || e2e_fail "the field still holds $(e2e_driver gettext "$NAME")"
status_is "$dup - the folder keeps its name \"Tools\"" || e2e_fail "not said: $(status)"
e2e_screenshot taken-back

# "Game T" typed over Tools: no refusal on the way through "Game ".
e2e_key F2
e2e_wait_for 5 "the name field's focus" focus_is "$NAME" || e2e_fail "F2 did not reach the name field"
xdotool type --delay 120 "Game "
e2e_never 2 "a premature refusal" status_is "$dev" || e2e_fail "refused while typing"
xdotool type --delay 120 T
e2e_wait_for 5 "the rename" has "Game T" || e2e_fail "no Game T: $(tree)"
e2e_key Return

# "NUL" over it, then a click on Save: taken back, said after the save's message.
e2e_key F2
e2e_wait_for 5 "the name field's focus" focus_is "$NAME" || e2e_fail "F2 did not reach the name field"
xdotool type --delay 120 NUL
e2e_never 1 "a premature refusal" status_is "$dev" || e2e_fail "refused while typing"
has NU && e2e_fail "the tree shows the prefix NU"
click_at $(centre x "$(button 'S&ave')")
e2e_wait_for 5 "the save" status_is "Save succesful! $dev - the folder keeps its name \"Game T\"" ||
    e2e_fail "after Save: $(status)"
name_is "Game T" || e2e_fail "the field was not set back"
e2e_screenshot saved-taken-back
grep -q '^\^Folder|Game T' "$d/shortcuts/shortcuts.txt" || e2e_fail "the store lacks Game T"
grep -q 'NU' "$d/shortcuts/shortcuts.txt" && e2e_fail "a prefix of NUL was saved"

# Del, then Ctrl+Z, in the tree.
pick "Probe one"
e2e_key Delete
e2e_wait_for 5 "the deletion" e2e_not has "Probe one" || e2e_fail "Del deleted nothing"
e2e_key ctrl+z
e2e_wait_for 5 "the undo" has "Probe one" || e2e_fail "Ctrl+Z did not bring it back"

# Esc during a drag: the drag ends, the window stays, nothing moved.
before=$(tree)
read -r px py <<<"$(centre 'Probe three')"
read -r sx sy <<<"$(centre '--Group--')"
e2e_mouse "$px" "$py"
xdotool mousedown 1
sleep 0.3  # longer than the drag timer's 150 ms: a press, not a click
for step in 4 10 16; do e2e_mouse "$px" $(( py - step )); done
e2e_mouse "$sx" "$sy"
e2e_key Escape
e2e_screenshot esc-during-drag
xdotool mouseup 1
e2e_never 1 "the manager closed" e2e_not visible || e2e_fail "Esc during the drag closed the manager"
[ "$(tree)" = "$before" ] || e2e_fail "the cancelled drag moved something: $(tree)"

# An unsaved rename, then Esc: asked; Cancel keeps the window, Yes saves and closes.
pick "Probe one"
e2e_key F2
e2e_wait_for 5 "the name field's focus" focus_is "$NAME" || e2e_fail "F2 did not reach the name field"
xdotool type --delay 80 "Renamed one"
e2e_key Return
e2e_wait_for 5 "the rename" has "Renamed one" || e2e_fail "no rename: $(tree)"
e2e_key Escape
e2e_wait_for 10 "the question" question || e2e_fail "closing with an edit asked nothing"
e2e_screenshot save-question
e2e_driver msgbox-answer '*' 2 >/dev/null || e2e_fail "could not answer Cancel"
e2e_wait_for 10 "the question to go" e2e_not question || e2e_fail "the question stayed"
visible || e2e_fail "Cancel closed the manager"
has "Renamed one" || e2e_fail "Cancel lost the edit"
e2e_driver post "$FORM" WM_CLOSE >/dev/null
e2e_wait_for 10 "the question" question || e2e_fail "the close box asked nothing"
e2e_driver msgbox-answer '*' 6 >/dev/null || e2e_fail "could not answer Yes"
e2e_wait_for 10 "the manager to close" e2e_not visible || e2e_fail "Yes did not close the manager"
grep -q '|Renamed one' "$d/shortcuts/shortcuts.txt" || e2e_fail "Yes did not save the rename"
e2e_alive "$PV_PID" || e2e_fail "the program ended"
e2e_pass

#!/usr/bin/env bash
# Building a menu in the manager as a person does: a program attached through
# the real file dialog (with parameters), a directory through the real folder
# browser, a folder and a captioned separator; copy and paste, cut and paste,
# delete; an entry dragged onto a collapsed folder, resting until it opens, and
# dropped inside it. Saved and closed, the tray menu starts the new entries with
# their parameters. Screenshots after each kind of attach and during the drag.
#   t_manager_edit.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init manager_edit "$1"
e2e_install
e2e_probe_store
d="$E2E_APP"
mkdir -p "$d/probes/c" "$d/Docs"
cp "$E2E_BIN/probe.exe" "$d/probes/c/probe.exe"
e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the tray icon never opened the menu"

e2e_mouse 300 150
e2e_key ctrl+l
e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no menu"
e2e_key Up Up Right Down Return
FORM=$(e2e_driver find --class TFormItems --visible --timeout 10000 | head -1) || e2e_fail "the manager did not show"
TREE=$(e2e_driver child "$FORM" --class SysTreeView32 | head -1)
button() { e2e_driver child "$FORM" --class Button --title "$1" | head -1; }
click() { e2e_driver send "$(button "$1")" BM_CLICK >/dev/null; }
press() { e2e_driver post "$(button "$1")" BM_CLICK >/dev/null; }  # for buttons that open a modal dialog
select_node() { e2e_driver tree-select "$TREE" "$1" >/dev/null || e2e_fail "no node $1"; }
tree() { e2e_driver tree-dump "$TREE"; }
memo() { e2e_driver child "$FORM" --id 1116 | head -1; }
memo_is() { [ "$(e2e_driver gettext "$(memo)")" = "$1" ]; }
dialog() { e2e_driver find --class '#32770' --visible --timeout 10000 | head -1; }
dialog_gone() { ! e2e_driver find --class '#32770' --visible --timeout 0 >/dev/null; }

# A program through the file dialog, attached after "Probe one".
select_node "Probe one"
press "Find.."
DLG=$(dialog) || e2e_fail "no file dialog"
e2e_wait_for 5 "the dialog's file box" e2e_driver child "$DLG" --class Edit || e2e_fail "no file box"
e2e_screenshot file-dialog
e2e_driver settext "$(e2e_driver child "$DLG" --class Edit | head -1)" "$(e2e_winpath "$d/probes/c/probe.exe")" >/dev/null
e2e_driver post "$(e2e_driver child "$DLG" --class Button --title '&Open' | head -1)" BM_CLICK >/dev/null
e2e_wait_for 10 "the dialog to close" dialog_gone || e2e_fail "the file dialog stayed"
e2e_wait_for 5 "the chosen file's name" memo_is probe || e2e_fail "the text box does not show the file's name"
e2e_driver settext "$(memo)" "Probe five" >/dev/null
click Attach
tree | grep -qx "Probe five" || e2e_fail "the file was not attached"
e2e_driver settext "$(e2e_driver child "$FORM" --id 1108 | head -1)" "fifth run" >/dev/null
e2e_screenshot attached-file

# A directory through the folder browser, after "Probe five".
click "File - Directory"
press "Find.."
DLG=$(dialog) || e2e_fail "no folder browser"
BT=$(e2e_driver child "$DLG" --class SysTreeView32 | head -1)
path="Desktop|/"
IFS=/ read -ra parts <<<"${d#/}/Docs"
for p in "${parts[@]}"; do path="$path|$p"; done
e2e_driver tree-select "$BT" "$path" >/dev/null || e2e_fail "the browser shows no $path"
e2e_screenshot folder-browser
e2e_driver post "$(e2e_driver child "$DLG" --class Button --title OK | head -1)" BM_CLICK >/dev/null
e2e_wait_for 10 "the browser to close" dialog_gone || e2e_fail "the folder browser stayed"
e2e_wait_for 5 "the directory's name" memo_is Docs || e2e_fail "the text box does not show the directory's name"
click Attach
tree | grep -qx "Docs" || e2e_fail "the directory was not attached"
e2e_screenshot attached-directory

# A folder and a captioned separator.
click "Folder (virtual)"
e2e_driver settext "$(memo)" "New folder" >/dev/null
click Attach
tree | grep -qx "New folder" || e2e_fail "the folder was not attached"
e2e_screenshot attached-folder
click Separator
e2e_driver settext "$(memo)" "Made here" >/dev/null
click Attach
tree | grep -qx -- "--Made here--" || e2e_fail "the separator was not attached"
e2e_screenshot attached-separator

# Copy "Probe one" into the new folder; cut "Probe three" after it; delete "--Group--".
select_node "Probe one"
click "C&opy"
tree >/dev/null  # opens every folder, so the new folder's top node has an item
select_node "New folder|"
click "&Paste"
select_node "Probe three"
click "&Cut"
select_node "New folder|Probe one"
click "&Paste"
select_node "--Group--"
click "&Delete"
out=$(tree)
grep -qx -- "--Group--" <<<"$out" && e2e_fail "the separator was not deleted"
grep -qx "  Probe three" <<<"$out" || e2e_fail "the cut entry did not move into the folder: $out"

# Drag "Probe five" onto the collapsed folder "Sub", rest until it opens, drop it
# on the folder's top node: it becomes the folder's first entry.
e2e_driver tree-collapse "$TREE" Sub || e2e_fail "no Sub to collapse"
rect() { e2e_driver tree-rect "$TREE" "$1" | tr -d '\r'; }
IFS=, read -r l t r b <<<"$(rect "Probe five")"
e2e_mouse $(( l + 10 )) $(( (t + b) / 2 ))
xdotool mousedown 1
sleep 0.3  # longer than the drag timer's 150 ms: a press, not a click
IFS=, read -r sl st sr sb <<<"$(rect Sub)"
for step in 4 10 16; do e2e_mouse $(( l + 10 + step )) $(( (t + b) / 2 + step )); done
e2e_mouse $(( sl + 12 )) $(( (st + sb) / 2 ))
e2e_mouse $(( sl + 14 )) $(( (st + sb) / 2 ))
sleep 0.7  # the rest that opens the folder (400 ms)
e2e_screenshot during-drag
IFS=, read -r tl tt tr tb <<<"$(rect 'Sub|')"
e2e_mouse $(( tl - 10 )) $(( (tt + tb) / 2 ))  # the top node's picture: it has no text
e2e_mouse $(( tl - 8 )) $(( (tt + tb) / 2 ))
xdotool mouseup 1
e2e_wait_for 5 "the drop" e2e_driver tree-rect "$TREE" "Sub|Probe five" || e2e_fail "Probe five is not in Sub: $(tree)"
e2e_screenshot after-drag

click "S&ave"
click "C&lose"
e2e_wait_for 10 "the manager to close" e2e_not e2e_driver find --class TFormItems --visible --timeout 0 ||
    e2e_fail "the manager stayed"
grep -q "probe.exe|fifth run|probe.bmp|Probe five" "$d/shortcuts/Sub/shortcuts.txt" || e2e_fail "Sub's index lacks Probe five"

# The tray menu: Sub is the second root entry now; its first entry starts probe five.
# Root: Probe one, Docs, New folder >, Made here (a captioned separator, which
# the keyboard walk visits), Sub >, Sysmenu ...
e2e_mouse 300 200
e2e_key ctrl+l
e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no menu after the save"
e2e_key Down Down Down Down Down Right
e2e_settled_screenshot menu-sub
e2e_key Return
e2e_wait_for 15 "the probe" e2e_probe_has 1 || e2e_fail "the entry started nothing"
grep -q 'probe.exe"\? fifth run|' "$E2E_PROBE_LOG" || e2e_fail "not started with its parameters: $(cat "$E2E_PROBE_LOG")"
e2e_pass

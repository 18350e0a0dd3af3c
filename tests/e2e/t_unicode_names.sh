#!/usr/bin/env bash
# File names with any character Windows allows, from the drop to the launch, and
# a store of an earlier version (1252 bytes) read as it was written.
#   - A legacy store with "Café\" and "Données.txt" in 1252 shows and starts the
#     right file; saved without edits its index files stay byte for byte.
#   - "Łódź – 日本語 ✓.txt" and "🚀 launch.cmd", real files in the prefix, dropped
#     on the manager's tree with a wide DROPFILES block, saved: the index file
#     becomes UTF-8; after a restart the tray menu shows them and each starts
#     with its exact name (the probe records its UTF-16 command line in UTF-8).
# .txt files are opened by the probe for the length of the test.
#   t_unicode_names.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init unicode_names "$1"
e2e_install
e2e_probe_store
d="$E2E_APP"

u="$E2E_PREFIX/drive_c/pivora-unicode"
uw='C:\pivora-unicode'
f1='Łódź – 日本語 ✓.txt'
f2='🚀 launch.cmd'
rm -rf "$u"
mkdir -p "$u/Café"
echo "text" >"$u/$f1"
echo "text" >"$u/Café/Données.txt"
probe="$E2E_PROBE_DIR_A\\probe.exe"
printf '@"%s" "%%~f0"\r\n' "$probe" >"$u/$f2"

# .txt opened by the probe; put back as it was when the test ends.
old_txt=$( (e2e_wine reg query 'HKCR\.txt' /ve || true) | tr -d '\r' | awk '$1 == "(Default)" { print $3 }')
[ -n "$old_txt" ] || old_txt=txtfile  # Wine's own
restore_txt() {
    local rc=$?
    if [ -n "$old_txt" ]; then
        e2e_wine reg add 'HKCR\.txt' /ve /d "$old_txt" /f >/dev/null 2>&1 || true
    fi
    e2e_wine reg delete 'HKCR\PivoraProbeText' /f >/dev/null 2>&1 || true
    (exit $rc)
    e2e_cleanup
}
trap restore_txt EXIT
e2e_wine reg add 'HKCR\PivoraProbeText\shell\open\command' /ve /d "\"$probe\" \"%1\"" /f >/dev/null
e2e_wine reg add 'HKCR\.txt' /ve /d PivoraProbeText /f >/dev/null

# The legacy store: 1252 bytes, the folder's directory named in Unicode.
s="$d/shortcuts"
rm -rf "$s"
mkdir -p "$s/Café"
printf '%s\r\n' "^ExeLnk|$probe|alpha one|probe.bmp|Probe one" >"$s/shortcuts.txt"
printf '^Folder|Caf\xe9\r\n' >>"$s/shortcuts.txt"
printf '^UnkLnk|%s\\Caf\xe9\\Donn\xe9es.txt|txt|Donn\xe9es\r\n' "$uw" >"$s/Café/shortcuts.txt"
orig="$E2E_OUT/store-before"
cp -r "$s" "$orig"

e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the tray icon never opened the menu"

n=0
# choose "KEYS..." EXPECTED-TEXT SCREENSHOT: the probe's line holds EXPECTED-TEXT.
choose() {
    local keys="$1" want="$2" shot="$3" line
    e2e_mouse 300 200
    e2e_key ctrl+l
    e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no menu for the walk $keys"
    # shellcheck disable=SC2086
    e2e_key $keys
    e2e_settled_screenshot "$shot"
    e2e_key Return
    n=$(( n + 1 ))
    e2e_wait_for 20 "probe run $n" e2e_probe_has $n || e2e_fail "the walk '$keys' started nothing"
    line=$(sed -n "${n}p" "$E2E_PROBE_LOG" | tr -d '\r')
    e2e_log "walk '$keys': $line"
    printf '%s\n' "$line" >>"$E2E_OUT/probe-records.txt"
    case "$line" in
        *"$want"*) ;;
        *) e2e_fail "walk '$keys': expected '$want' in: $line" ;;
    esac
    e2e_wait_for 5 "the menu to close" e2e_menu_closed || e2e_fail "the menu stayed open"
}

legacy_want="\"$uw\\Café\\Données.txt\""
choose "Down Down Right" "$legacy_want" legacy-menu

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
button() { e2e_driver child "$FORM" --class Button --title "$1" | head -1; }
click() { e2e_driver send "$(button "$1")" BM_CLICK >/dev/null; }
status_is() { [ "$(e2e_driver status-text "$STATUS")" = "$1" ]; }
tree() { e2e_driver tree-dump "$TREE"; }
save() {
    click "S&ave"
    e2e_wait_for 10 "the save" status_is "Save succesful!" || e2e_fail "save: $(e2e_driver status-text "$STATUS")"
}
close_manager() {
    click "C&lose"
    e2e_wait_for 10 "the manager to close" e2e_not e2e_driver find --class TFormItems --visible --timeout 0 ||
        e2e_fail "the manager stayed"
}

# Saved without edits: the index files byte for byte as before.
open_manager
e2e_driver tree-select "$TREE" "Café|Données" >/dev/null || true
e2e_settled_screenshot manager-legacy
tree >"$E2E_OUT/tree-legacy.txt"
grep -qx " *Données" "$E2E_OUT/tree-legacy.txt" || e2e_fail "the manager does not show Données: $(tr "\n" "/" <"$E2E_OUT/tree-legacy.txt")"
save
for f in shortcuts.txt Café/shortcuts.txt; do
    if cmp "$orig/$f" "$s/$f"; then
        e2e_log "cmp $f before and after an unedited save: identical"
    else
        e2e_fail "the unedited save changed $f"
    fi
done
close_manager

# The two files dropped on "Probe one", the tree made to show them, saved.
open_manager
printf '%s\r\n' "$uw\\$f1" "$uw\\$f2" >"$E2E_OUT/drop-list.txt"
e2e_driver tree-drop "$TREE" "Probe one" "$(e2e_winpath "$E2E_OUT/drop-list.txt")" ||
    e2e_fail "the drop did not reach the tree"
tree >"$E2E_OUT/tree-after-drop.txt"
grep -q "Łódź – 日本語 ✓" "$E2E_OUT/tree-after-drop.txt" || e2e_fail "no Łódź entry in the tree: $(cat "$E2E_OUT/tree-after-drop.txt")"
grep -q "🚀 launch" "$E2E_OUT/tree-after-drop.txt" || e2e_fail "no rocket entry in the tree: $(cat "$E2E_OUT/tree-after-drop.txt")"
e2e_driver tree-select "$TREE" "$(grep -o '🚀 launch[^|]*' "$E2E_OUT/tree-after-drop.txt" | head -1 | sed 's/^ *//')" >/dev/null ||
    e2e_fail "cannot select the rocket entry"
e2e_settled_screenshot manager-unicode
save
close_manager

iconv -f UTF-8 -t UTF-8 "$s/shortcuts.txt" >/dev/null || e2e_fail "the root index file is not UTF-8"
grep -q "^\\^UnkLnk|$(printf '%s' "$uw" | sed 's/\\/\\\\/g')\\\\$f1|txt|" "$s/shortcuts.txt" ||
    e2e_fail "the root index file lacks $f1: $(cat "$s/shortcuts.txt")"
grep -q "^\\^ExeLnk|.*\\\\$f2||cmd|" "$s/shortcuts.txt" || e2e_fail "the root index file lacks $f2: $(cat "$s/shortcuts.txt")"
head -c 3 "$s/shortcuts.txt" | grep -q $'^\xef\xbb\xbf' && e2e_fail "a byte-order mark was written"
cmp "$orig/Café/shortcuts.txt" "$s/Café/shortcuts.txt" || e2e_fail "the folder's level, still all 1252, changed"
cp "$s/shortcuts.txt" "$E2E_OUT/shortcuts-after-drop.txt"

# Restarted: "Close" is the last entry of the menu.
e2e_mouse 300 200
e2e_key ctrl+l
e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no menu for Close"
e2e_key Up Return
e2e_wait_exit "$PV_PID" 15 || e2e_fail "Close did not end the program"
e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the restarted program's tray icon never opened the menu"

# The root's entries in the file's order are the menu's (no separators there).
line_of() { grep -n "$1" "$s/shortcuts.txt" | head -1 | cut -d: -f1; }
downs() { local k; for k in $(seq 1 "$1"); do printf 'Down '; done; }
l1=$(line_of "$f1|")
l2=$(line_of "$f2|")
lc=$(line_of "^\\^Folder|Café")
[ -n "$l1" ] && [ -n "$l2" ] && [ -n "$lc" ] || e2e_fail "entries missing in the saved store"
e2e_mouse 300 200
e2e_key ctrl+l
e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no menu after the restart"
e2e_settled_screenshot menu-unicode
e2e_key Escape
e2e_wait_for 5 "the menu to close" e2e_menu_closed || e2e_fail "the menu stayed open"
e2e_pivora_settled || true

choose "$(downs "$l1")" "\"$uw\\$f1\"" walk-lodz
choose "$(downs "$l2")" "$uw\\$f2" walk-rocket
choose "$(downs "$lc")Right" "$legacy_want" walk-donnees-after-save
e2e_log "probe records: $(cat "$E2E_OUT/probe-records.txt")"

# The same names in the menu the program draws itself, in its own font.
e2e_mouse 300 200
e2e_key ctrl+l
e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no menu for Close"
e2e_key Up Return
e2e_wait_exit "$PV_PID" 15 || e2e_fail "Close did not end the program"
printf '[Misc Settings]\r\nWindowsDraw=0\r\n[Font Settings]\r\nFontName=Verdana\r\nFontSize=8\r\n' >"$d/pivora.ini"
e2e_start_pivora
e2e_wait_tray_ready 60 || e2e_fail "the program drawing its own menu never opened it"
e2e_mouse 300 200
e2e_key ctrl+l
e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no owner-drawn menu"
e2e_settled_screenshot menu-unicode-owner-drawn
e2e_key Escape
e2e_wait_for 5 "the menu to close" e2e_menu_closed || e2e_fail "the owner-drawn menu stayed open"
e2e_pass

#!/usr/bin/env bash
# A leftover item_bak makes start-up ask the backup question; each answer
# leaves the directories as designed:
#   Yes    - the backup replaces the store
#   No     - the store stays, the backup is kept among the backups, marked as
#            an interrupted save's
#   Cancel - both stay as they are; start-up goes on
#   t_backup_question.sh BUILD_DIR Yes|No|Cancel
set -euo pipefail
. "$(dirname "$0")/lib.sh"
answer="$2"
e2e_init "backup_question-$answer" "$1"
e2e_install
e2e_probe_store
d="$E2E_APP"
mkdir -p "$d/item_bak/Old"
printf '%s\r\n' "^ExeLnk|$(e2e_winpath "$d/probes/a")\\probe.exe|from backup|probe.bmp|Backup probe" \
    "^Folder|Old" >"$d/item_bak/shortcuts.txt"
printf '%s\r\n' "^NorSep|" >"$d/item_bak/Old/shortcuts.txt"
store_before=$(cat "$d/shortcuts/shortcuts.txt")
backup_before=$(cat "$d/item_bak/shortcuts.txt")

e2e_start_pivora
e2e_driver find --class '#32770' --visible --timeout 30000 >/dev/null || e2e_fail "no question box appeared"
e2e_wait_for 5 "the question's text" e2e_box_painted || e2e_fail "the question box shows no text"
e2e_screenshot question
out=$(e2e_driver msgbox-answer '*' "$answer" --timeout 10000) || e2e_fail "could not press $answer"
echo "$out"
grep -q 'A Backup of an earlier items list exists as' <<<"$out" || e2e_fail "unexpected question text"
grep -qF "$(e2e_winpath "$d")\\item_bak." <<<"$out" || e2e_fail "the question does not name the backup directory"

e2e_wait_tray_ready 60 || e2e_fail "start-up did not finish after the answer"
e2e_alive "$PV_PID" || e2e_fail "the program ended"
case "$answer" in
Yes)
    [ ! -e "$d/item_bak" ] || e2e_fail "item_bak is still there"
    [ "$(cat "$d/shortcuts/shortcuts.txt")" = "$backup_before" ] || e2e_fail "the store is not the backup"
    [ -f "$d/shortcuts/Old/shortcuts.txt" ] || e2e_fail "the backup's folder did not come along"
    [ ! -e "$d/shortcuts/Sub" ] || e2e_fail "the old store's folder is still there"
    expect_args="from backup"
    ;;
No)
    [ ! -e "$d/item_bak" ] || e2e_fail "item_bak is still there"
    [ "$(cat "$d/shortcuts/shortcuts.txt")" = "$store_before" ] || e2e_fail "the store changed"
    kept=$(find "$d/backups" -mindepth 1 -maxdepth 1 -type d -name '* interrupted save' 2>/dev/null | head -1)
    [ -n "$kept" ] || e2e_fail "the backup is not among the backups: $(ls "$d/backups" 2>&1)"
    [ "$(cat "$kept/shortcuts.txt")" = "$backup_before" ] || e2e_fail "the kept backup changed"
    [ -f "$kept/Old/shortcuts.txt" ] || e2e_fail "the kept backup lost its folder"
    expect_args="alpha one"
    ;;
Cancel)
    [ -d "$d/item_bak" ] || e2e_fail "item_bak was removed"
    [ "$(cat "$d/item_bak/shortcuts.txt")" = "$backup_before" ] || e2e_fail "item_bak changed"
    [ "$(cat "$d/shortcuts/shortcuts.txt")" = "$store_before" ] || e2e_fail "the store changed"
    expect_args="alpha one"
    ;;
*) e2e_fail "answer must be Yes, No or Cancel" ;;
esac

# The menu shows the store that is now in place: its first entry starts the probe.
e2e_mouse 400 300
e2e_key ctrl+l
e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no menu"
e2e_screenshot menu
e2e_key Down Return
e2e_wait_for 15 "the probe" e2e_probe_has 1 || e2e_fail "the first entry started nothing"
grep -q "probe.exe\"\\? $expect_args|" "$E2E_PROBE_LOG" || e2e_fail "the first entry is not from the expected store: $(cat "$E2E_PROBE_LOG")"
e2e_pass

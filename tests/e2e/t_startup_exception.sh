#!/usr/bin/env bash
# An exception during start-up takes the application's route: the error log
# is tried (its path shown first), the exception notice follows, the program
# ends, and no tray menu ever becomes available.
# Here the load finds an index file it cannot read (another program holds it
# open without sharing) and cannot append that to the log, because
# errorlog.txt is a directory.
#   t_startup_exception.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init startup_exception "$1"
e2e_install
d="$E2E_APP"
mkdir -p "$d/shortcuts/Locked" "$d/errorlog.txt"
printf '%s\r\n' "^Folder|Locked" >"$d/shortcuts/shortcuts.txt"
printf '%s\r\n' "^NorSep|" >"$d/shortcuts/Locked/shortcuts.txt"
e2e_start "$E2E_BIN/pvdriver.exe" lock "$(e2e_winpath "$d/shortcuts/Locked/shortcuts.txt")"
e2e_wait_for 20 "the lock" grep -q locked "$E2E_OUT/pvdriver.log" || e2e_fail "could not lock the index file"
log_path="$(e2e_winpath "$d")\\errorlog.txt"

e2e_start_pivora
boxes=()
notice_all=""
for i in 1 2 3 4; do
    e2e_driver find --class '#32770' --visible --timeout 20000 >/dev/null || break
    e2e_screenshot "box-$i"
    out=$(e2e_driver msgbox-answer '*' OK --timeout 20000) || break
    text=$(sed -n 's/^text=//p' <<<"$out")
    e2e_log "box $i: ${text:0:100}"
    boxes+=("$text")
    case "$text" in "Exception raised, Pivora will now terminate"*) notice_all="$out"; break ;; esac
done
[ "${#boxes[@]}" -ge 2 ] || e2e_fail "expected the log path and the notice, saw ${#boxes[@]} box(es)"
[ "${boxes[0]}" = "$log_path" ] || e2e_fail "the first box does not show the log path: ${boxes[0]}"
last="${boxes[${#boxes[@]}-1]}"
case "$last" in
"Exception raised, Pivora will now terminate to prevent machine lockup."*) ;;
*) e2e_fail "the last box is not the exception notice: $last" ;;
esac
grep -qF "$(e2e_winpath "$d")\\errorlog.txt" <<<"$notice_all" || e2e_fail "the notice does not name this run's log"
e2e_wait_exit "$PV_PID" 15 || e2e_fail "the program did not end after the notice"
[ -d "$d/errorlog.txt" ] || e2e_fail "the log directory was touched"
[ "$(cat "$d/shortcuts/Locked/shortcuts.txt")" = "$(printf '^NorSep|\r')" ] || e2e_fail "the store was touched"
e2e_pass

#!/usr/bin/env bash
# The GoogleTest program that needs a desktop (global hot key, tray icon), run
# inside the harness's Wine desktop, where both exist.
#   t_desktop_units.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
e2e_init desktop_units "$1"
[ -f "$E2E_BIN/desktop_win.exe" ] || e2e_fail "no desktop_win.exe in $E2E_BIN"
rc=0
timeout 120 "$PV_WINE" "$E2E_BIN/desktop_win.exe" </dev/null >"$E2E_OUT/desktop_win.log" 2>>"$E2E_OUT/wine-stderr.log" || rc=$?
cat "$E2E_OUT/desktop_win.log"
[ "$rc" = 0 ] || e2e_fail "desktop_win.exe ended with $rc"
grep -q '\[  PASSED  \]' "$E2E_OUT/desktop_win.log" || e2e_fail "no test ran"
if grep -q '\[  SKIPPED \]' "$E2E_OUT/desktop_win.log"; then e2e_fail "tests were skipped on the desktop"; fi
e2e_pass

#!/usr/bin/env bash
# The program starts, stays running, shows no window of its own, and its tray
# icon appears at the task bar's right end.
#   t_start_hidden.sh BUILD_DIR [PROGRAM.exe]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
prog="${2:-pivora.exe}"
e2e_init "start_hidden-${prog%.exe}" "$1"
e2e_install "$E2E_BIN/$prog"
e2e_start_pivora

e2e_wait_for 20 "the tray icon" e2e_tray_icon_shown 1 || e2e_fail "no tray icon appeared"
e2e_screenshot started

# It shows no window, also in the seconds after the icon appears.
e2e_never 2 "a visible window" e2e_has_visible_window "$PV_WINPID" || e2e_fail "a window became visible"
e2e_alive "$PV_PID" || e2e_fail "the program ended by itself"
e2e_driver list "$PV_WINPID" >"$E2E_OUT/windows.txt" || true
cat "$E2E_OUT/windows.txt"
visible=$(e2e_visible_windows "$PV_WINPID")
[ "$visible" = 0 ] || e2e_fail "$visible visible top-level window(s)"
[ -s "$E2E_OUT/windows.txt" ] || e2e_fail "the program has no top-level window at all"

# Still running a little later.
e2e_never 2 "the program ended by itself" e2e_not_alive "$PV_PID" || e2e_fail "the program ended by itself"
e2e_driver kill "$PV_WINPID" || e2e_fail "could not end Windows pid $PV_WINPID"
e2e_wait_exit "$PV_PID" 10 || e2e_fail "still running after TerminateProcess"
e2e_pass

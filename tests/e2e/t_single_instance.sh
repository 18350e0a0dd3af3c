#!/usr/bin/env bash
# A second start exits within 2 s, silently, while the first keeps running;
# then the first is ended by its process id.
#   t_single_instance.sh BUILD_DIR [PROGRAM.exe]
set -euo pipefail
. "$(dirname "$0")/lib.sh"
prog="${2:-pivora.exe}"
e2e_init "single_instance-${prog%.exe}" "$1"
e2e_install "$E2E_BIN/$prog"
e2e_start_pivora
e2e_wait_for 20 "the tray icon" e2e_tray_icon_shown 1 || e2e_fail "no tray icon appeared"

# The driver starts the second copy and times it to its end.
out=$(e2e_driver run --timeout 10000 "$(e2e_winpath "$E2E_EXE")") || true
echo "$out"
ms=$(sed -n 's/^elapsed_ms=//p' <<<"$out")
[ -n "$ms" ] || e2e_fail "the second copy did not end within 10 s"
[ "$ms" -le 2000 ] || e2e_fail "the second copy took $ms ms to end (limit 2000)"
e2e_log "second copy ended after $ms ms"

e2e_alive "$PV_PID" || e2e_fail "the first copy ended too"
pids=$(e2e_driver pids "$prog" | wc -l)
[ "$pids" = 1 ] || e2e_fail "$pids copies running"
visible=$(e2e_visible_windows "$PV_WINPID")
[ "$visible" = 0 ] || e2e_fail "a window became visible"
e2e_screenshot after-second-start

# End the first copy by its process id.
kill -TERM "$PV_PID"
e2e_wait_exit "$PV_PID" 10 || e2e_fail "the first copy did not end on SIGTERM"
e2e_driver pids "$prog" && e2e_fail "a copy still runs" || true
e2e_pass

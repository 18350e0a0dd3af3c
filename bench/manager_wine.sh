#!/usr/bin/env bash
# The manager under Wine with a generated store of 10,000 entries: the time
# from choosing "Manage Items..." until the window is shown and painted with its
# tree filled, as the program itself times it (PIVORA_TIMING), median of RUNS
# openings in one run.
#   bench/manager_wine.sh [BUILD_DIR] [RUNS]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-}"
if [ -z "$build" ]; then
    for b in "$here/build/win64" "$here/build/win32"; do
        [ -f "$b/bin/pivora.exe" ] && [ -f "$b/bin/pvdriver.exe" ] && { build="$b"; break; }
    done
fi
[ -n "$build" ] || { echo "no Wine build; run scripts/test.sh first" >&2; exit 2; }
runs="${2:-5}"

. "$here/tests/e2e/lib.sh"
. "$here/bench/store_gen.sh"
e2e_init bench-manager "$build"
e2e_install
make_store "$E2E_APP" 10000
export PIVORA_TIMING=1
e2e_start_pivora
e2e_wait_tray_ready 120 || e2e_fail "the tray icon never opened the menu"
timings() { grep -c 'manager shown' "$E2E_APP/timing.txt" 2>/dev/null || echo 0; }
has_timings() { [ "$(timings)" -ge "$1" ]; }
for i in $(seq 1 "$runs"); do
    e2e_mouse 300 150
    e2e_key ctrl+l
    e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no menu"
    e2e_key Up Up Right Down Return
    form=$(e2e_driver find --class TFormItems --visible --timeout 30000 | head -1) || e2e_fail "no manager"
    e2e_wait_for 10 "the timing line" has_timings "$i" ||
        e2e_fail "no timing line"
    e2e_driver post "$form" WM_CLOSE >/dev/null
    e2e_wait_for 10 "the manager to close" e2e_not e2e_driver find --class TFormItems --visible --timeout 0
done
grep 'manager shown' "$E2E_APP/timing.txt" | tr -d '\r'
median=$(grep 'manager shown' "$E2E_APP/timing.txt" | sed -n 's/.*: \([0-9.]*\) ms.*/\1/p' | sort -n |
         awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
echo "Manage Items... to the manager shown with its tree filled, 10,000 entries, under $(basename "$PV_WINE"):"
echo "  median of $runs: $median ms (the first opening fills the tree; later ones find it filled)"
e2e_pass

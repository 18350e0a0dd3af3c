#!/usr/bin/env bash
# The manager under Wine with a generated store of 10,000 entries: the time
# from choosing "Manage Items..." until the window is shown and painted with its
# tree filled, as the program itself times it (PIVORA_TIMING), median of RUNS
# openings in one run. Then a folder of 1,000 entries cut and pasted, and dragged
# and dropped, each timed by the program, beside the floor: a bare window
# inserting 1,000 tree-view items (treebench).
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
# A folder of 1,000 documents and a target for it, at the top of the root.
mkdir -p "$E2E_APP/shortcuts/Big" "$E2E_APP/shortcuts/Target"
python3 - "$E2E_APP/shortcuts" <<'PY'
import os, sys
d = sys.argv[1]
with open(os.path.join(d, "Big", "shortcuts.txt"), "wb") as f:
    f.write(b"".join(b"^UnkLnk|C:\\Big\\doc%d.txt|txt|Big %d\r\n" % (i, i) for i in range(1000)))
root = open(os.path.join(d, "shortcuts.txt"), "rb").read()
open(os.path.join(d, "shortcuts.txt"), "wb").write(b"^Folder|Big\r\n^Folder|Target\r\n" + root)
PY
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
# Cut and paste the folder of 1,000 after Target's top node, then drag it back
# onto Target itself (it lands after Target, at the root).
open_form() {
    e2e_mouse 300 150
    e2e_key ctrl+l
    e2e_wait_for 5 "the menu" e2e_menu_open || e2e_fail "no menu"
    e2e_key Up Up Right Down Return
    form=$(e2e_driver find --class TFormItems --visible --timeout 30000 | head -1) || e2e_fail "no manager"
    tree=$(e2e_driver child "$form" --class SysTreeView32 | head -1)
}
open_form
e2e_driver tree-select "$tree" "Big" >/dev/null || e2e_fail "no Big"
e2e_driver send "$(e2e_driver child "$form" --class Button --title '&Cut' | head -1)" BM_CLICK >/dev/null
e2e_driver tree-select "$tree" "Target|" >/dev/null || e2e_fail "no Target"
e2e_driver send "$(e2e_driver child "$form" --class Button --title '&Paste' | head -1)" BM_CLICK >/dev/null
e2e_wait_for 10 "the paste" grep -q '^paste' "$E2E_APP/timing.txt" || e2e_fail "no paste timing"
e2e_driver tree-collapse "$tree" "Target" || true
IFS=, read -r l t r b <<<"$(e2e_driver tree-rect "$tree" "Target" | tr -d '\r')"
e2e_driver tree-select "$tree" "Target|Big" >/dev/null
e2e_driver tree-collapse "$tree" "Target|Big" || true
IFS=, read -r bl bt br bb <<<"$(e2e_driver tree-rect "$tree" "Target|Big" | tr -d '\r')"
e2e_mouse $(( bl + 5 )) $(( (bt + bb) / 2 ))
xdotool mousedown 1
sleep 0.3
for step in 4 10 16; do e2e_mouse $(( bl + 5 + step )) $(( (bt + bb) / 2 - step )); done
e2e_mouse $(( l + 5 )) $(( (t + b) / 2 ))
e2e_mouse $(( l + 7 )) $(( (t + b) / 2 ))
xdotool mouseup 1
e2e_wait_for 10 "the drop" grep -q '^drop' "$E2E_APP/timing.txt" || e2e_fail "no drop timing"
floor=$(e2e_wine "$E2E_BIN/treebench.exe" 1000 | tr -d '\r' | sed -n 's/^insert_ms=\([0-9.]*\).*/\1/p')

grep 'manager shown\|paste\|drop' "$E2E_APP/timing.txt" | tr -d '\r'
median=$(grep 'manager shown' "$E2E_APP/timing.txt" | sed -n 's/.*: \([0-9.]*\) ms.*/\1/p' | sort -n |
         awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
echo "Manage Items... to the manager shown with its tree filled, 10,000 entries, under $(basename "$PV_WINE"):"
echo "  median of $runs: $median ms (the first opening fills the tree; later ones find it filled)"
echo "A folder of 1,000 entries, with the 10,000-entry store loaded:"
echo "  cut and paste:  $(sed -n 's/^paste: //p' "$E2E_APP/timing.txt" | tr -d '\r')"
echo "  drag and drop:  $(sed -n 's/^drop: //p' "$E2E_APP/timing.txt" | tr -d '\r')"
echo "  floor, 1,000 tree-view items inserted in a bare window: $floor ms"
echo "  (the tree view holds a folder's items only once it is opened, so moving"
echo "  a closed folder moves one item)"
e2e_pass

#!/usr/bin/env bash
# Start-up timing of pivora.exe under Wine: the time from process start until a
# click on the tray icon opens the menu, with an empty item store and with a
# generated store of 10,000 entries (folders five deep, 50 document extensions,
# no program icons), measured in the same run and printed with their ratio.
#   bench/startup_wine.sh [BUILD_DIR] [RUNS]
# BUILD_DIR is a Wine build (default build/win64, else build/win32) holding
# bin/pivora.exe, bin/pvdriver.exe and bin/traybench.exe.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-}"
if [ -z "$build" ]; then
    for b in "$here/build/win64" "$here/build/win32"; do
        [ -f "$b/bin/traybench.exe" ] && { build="$b"; break; }
    done
fi
[ -n "$build" ] && [ -f "$build/bin/traybench.exe" ] || {
    echo "no Wine build with traybench.exe; run scripts/test.sh first" >&2; exit 2; }
runs="${2:-3}"

. "$here/tests/e2e/lib.sh"
e2e_init bench-startup "$build"

# Writes a store of N links below DIR/shortcuts: chains of folders five deep,
# each level holding documents of 50 extensions.
. "$here/bench/store_gen.sh"

measure() {  # LABEL ENTRIES
    local label="$1" n="$2" app="$E2E_OUT/$1" i ms all=()
    rm -rf "$app"; mkdir -p "$app"
    cp "$E2E_BIN/pivora.exe" "$app/"
    if [ "$n" -gt 0 ]; then make_store "$app" "$n"; else mkdir -p "$app/shortcuts"; : >"$app/shortcuts/shortcuts.txt"; fi
    for i in $(seq 1 "$runs"); do
        ms=$(e2e_wine "$E2E_BIN/traybench.exe" "$(e2e_winpath "$app/pivora.exe")" 120000 |
             tr -d '\r' | sed -n 's/^tray_ready_ms=//p')
        [ -n "$ms" ] && [ "$ms" -ge 0 ] || e2e_fail "$label: the tray menu never opened"
        all+=("$ms")
    done
    # The median of the runs.
    printf '%s\n' "${all[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'
}

empty=$(measure empty 0)
large=$(measure store10k 10000)
ratio=$(awk -v a="$large" -v b="$empty" 'BEGIN {printf "%.2f", a / b}')
echo "start to tray-ready under $(basename "$PV_WINE"), median of $runs runs:"
echo "  empty store:         $empty ms"
echo "  10,000-entry store:  $large ms"
echo "  ratio:               $ratio"
e2e_pass

#!/usr/bin/env bash
# Start-up of pivora.exe under Wine against a bare tray program (traybare: a
# hidden window, the tray icon, the hot key, a three-entry menu) and against
# the same with what a program with pictures in its menu loads first
# (traybare_cc: common controls 6 and COM; where a build has none, left out):
# the time from
# process start until a click on the tray icon opens the menu, and the working
# set once idle, for the bare program and Pivora with an empty store, with 300
# entries (the size most users have) and with 10,000 (generated stores: folders
# five deep, 50 document extensions, no program icons). The runs are
# interleaved (bare, empty, 300, 10k, bare, ...) because these machines drift;
# printed are the medians with their ratios to the bare program, and the
# spread (min-max) of each.
#   bench/startup_wine.sh [BUILD_DIR] [RUNS]
# BUILD_DIR is a Wine build (default build/win64, else build/win32) holding
# bin/pivora.exe, bin/pvdriver.exe and bin/traybench.exe.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-}"
if [ -z "$build" ]; then
    for b in "$here/build/win64" "$here/build/win32"; do
        [ -f "$b/bin/traybench.exe" ] && [ -f "$b/bin/traybare.exe" ] && { build="$b"; break; }
    done
fi
[ -n "$build" ] && [ -f "$build/bin/traybench.exe" ] || {
    echo "no Wine build with traybench.exe; run scripts/test.sh first" >&2; exit 2; }
runs="${2:-5}"

. "$here/tests/e2e/lib.sh"
e2e_init bench-startup "$build"

# Writes a store of N links below DIR/shortcuts: chains of folders five deep,
# each level holding documents of 50 extensions.
. "$here/bench/store_gen.sh"

# The three programs, each in a folder of its own.
prepare() {  # LABEL ENTRIES|bare
    local app="$E2E_OUT/$1"
    rm -rf "$app"; mkdir -p "$app"
    if [ "$2" = bare ]; then cp "$E2E_BIN/traybare.exe" "$app/"; return; fi
    if [ "$2" = bare_cc ]; then cp "$E2E_BIN/traybare_cc.exe" "$app/traybare.exe"; return; fi
    cp "$E2E_BIN/pivora.exe" "$app/"
    if [ "$2" -gt 0 ]; then make_store "$app" "$2"; else mkdir -p "$app/shortcuts"; : >"$app/shortcuts/shortcuts.txt"; fi
    # A user's store was written long before the program starts, not a moment
    # ago (a file written moments before it is read is always read anew).
    find "$app/shortcuts" -exec touch -d '1 hour ago' {} +
}

# One start: prints "MS KB" (tray-ready time, working set once idle).
one_run() {  # LABEL EXE
    local out ms kb
    out=$(e2e_wine "$E2E_BIN/traybench.exe" "$(e2e_winpath "$E2E_OUT/$1/$2")" 120000 | tr -d '\r')
    ms=$(sed -n 's/^tray_ready_ms=//p' <<<"$out")
    kb=$(sed -n 's/^working_set_kb=//p' <<<"$out")
    [ -n "$ms" ] && [ "$ms" -ge 0 ] || e2e_fail "$1: the tray menu never opened"
    echo "$ms ${kb:-0}"
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# Pivora writes the time of each start-up step beside its error log.
export PIVORA_TIMING=1
labels="bare empty store300 store10k"
if [ -f "$E2E_BIN/traybare_cc.exe" ]; then
    labels="bare bare_cc empty store300 store10k"
    prepare bare_cc bare_cc
fi
prepare bare bare
prepare empty 0
prepare store300 300
prepare store10k 10000
declare -A ms kb
# Interleaved, so that the machine's drift falls on all of them alike.
for i in $(seq 1 "$runs"); do
    for label in $labels; do
        exe=pivora.exe
        case $label in bare*) exe=traybare.exe ;; esac
        read -r t w <<<"$(one_run "$label" "$exe")"
        ms[$label]+="$t "
        kb[$label]+="$w "
    done
done
for label in $labels; do
    echo "$label: ms ${ms[$label]}| KB ${kb[$label]}"
done
mb() { printf '%s\n' ${ms[$1]} | median; }
wb() { printf '%s\n' ${kb[$1]} | median; }
spread() { printf '%s\n' $1 | sort -n | awk 'NR == 1 {lo = $1} {hi = $1} END {printf "%s-%s", lo, hi}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
echo "start to tray-ready under $(basename "$PV_WINE"), medians of $runs interleaved runs (min-max):"
printf '  %-24s %6s ms         (%s)  %8s KB         (%s)\n' "bare tray program" "$(mb bare)" "$(spread "${ms[bare]}")" \
    "$(wb bare)" "$(spread "${kb[bare]}")"
if [ -n "${ms[bare_cc]:-}" ]; then
    printf '  %-24s %6s ms (%sx) (%s)  %8s KB (%sx) (%s)\n' "bare, common controls 6" "$(mb bare_cc)" \
        "$(ratio "$(mb bare_cc)" "$(mb bare)")" "$(spread "${ms[bare_cc]}")" "$(wb bare_cc)" \
        "$(ratio "$(wb bare_cc)" "$(wb bare)")" "$(spread "${kb[bare_cc]}")"
fi
for label in empty store300 store10k; do
    case $label in
        empty) name="Pivora, empty store" ;;
        store300) name="Pivora, 300 entries" ;;
        *) name="Pivora, 10,000 entries" ;;
    esac
    printf '  %-24s %6s ms (%sx) (%s)  %8s KB (%sx) (%s)\n' "$name" "$(mb $label)" "$(ratio "$(mb $label)" "$(mb bare)")" \
        "$(spread "${ms[$label]}")" "$(wb $label)" "$(ratio "$(wb $label)" "$(wb bare)")" "$(spread "${kb[$label]}")"
done
echo "start-up steps, bare (the last run):"
tr -d '\r' <"$E2E_OUT/bare/timing.txt" | tail -4 | sed 's/^/  /'
if [ -n "${ms[bare_cc]:-}" ]; then
    echo "start-up steps, bare with common controls 6 (the last run):"
    tr -d '\r' <"$E2E_OUT/bare_cc/timing.txt" | tail -5 | sed 's/^/  /'
fi
for label in empty store300 store10k; do
    echo "start-up steps, $label (the last run):"
    awk '/^process start/ {n = NR} {line[NR] = $0} END {for (i = n; i <= NR; ++i) print "  " line[i]}' \
        "$E2E_OUT/$label/timing.txt" | tr -d '\r'
done
e2e_pass

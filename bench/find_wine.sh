#!/usr/bin/env bash
# Find under Wine against the tray menu's own pop-up, for a generated store of
# 10,000 entries: from a letter typed into the open menu to the Find window
# shown with its rows (its first opening builds the index; later ones reuse
# it), beside the time from a click on the icon to the menu on the screen, in
# the same run. Prints the rounds and the medians.
#   bench/find_wine.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build/win64}"
[ -f "$build/bin/findbench.exe" ] || { echo "no $build/bin/findbench.exe; build the Wine build first" >&2; exit 2; }
rounds="${2:-9}"
. "$here/tests/e2e/lib.sh"
e2e_init bench-find "$build"
. "$here/bench/store_gen.sh"
app="$E2E_OUT/store10k"
mkdir -p "$app"
cp "$E2E_BIN/pivora.exe" "$app/"
make_store "$app" 10000
e2e_wine "$E2E_BIN/findbench.exe" "$(e2e_winpath "$app/pivora.exe")" "$rounds" | tr -d '\r'
e2e_pass

#!/usr/bin/env bash
# Builds Pivora and starts it under Wine with a sample item store.
#
# With an X display ($DISPLAY): Pivora runs in a Wine virtual desktop window on
# that display until you choose "Close" in its tray menu (the icon sits at the
# right end of the virtual desktop's task bar; Ctrl+L opens the menu too).
# Without one: it runs on a private Xvfb, the tray menu is opened with a click on
# the icon, a screenshot is saved under build/ and its path printed, and
# everything started is stopped again.
#
# Wine: wine32 and the 32-bit product build where 32-bit programs can run,
# otherwise wine64 and a 64-bit build of the same sources.
set -euo pipefail
exec </dev/null

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash scripts/setup.sh

. tests/e2e/lib.sh

# The 32-bit build is the product, the same as the test command's; the 64-bit
# one is a release build of its own, so that the test command's debug build in
# build/win64 is not reconfigured (and rebuilt whole) after every run.
if [ "$(pv_wine_suite_bits)" = 32 ]; then
    build=build/win32; toolchain=cmake/mingw-i686.cmake; bits=32
else
    build=build/run-win64; toolchain=cmake/mingw-x86_64.cmake; bits=64
fi
# A fresh clone has no build/ yet: the logs below go there.
mkdir -p build
echo "run: building $build for wine$bits$([ $bits = 64 ] && echo ' (wine32 cannot run here, or PIVORA_WINE_BITS=64)')"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release >"build/run-configure.log" 2>&1 ||
    { tail -30 build/run-configure.log; exit 1; }
cmake --build "$build" -j"${JOBS:-2}" --target pivora pvdriver >"build/run-build.log" 2>&1 ||
    { tail -30 build/run-build.log; exit 1; }

E2E_NAME=run
E2E_BUILD="$root/$build"
E2E_BIN="$E2E_BUILD/bin"
E2E_OUT="$E2E_BUILD/run"
E2E_PREFIX="$E2E_BUILD/run-wineprefix"
mkdir -p "$E2E_OUT"
pv_wine_pick "$bits"
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

# The program folder: pivora.exe with the sample store beside it (its data
# directory, since no glc.ini says otherwise). A store edited earlier is kept.
E2E_APP="$E2E_OUT/app"
mkdir -p "$E2E_APP"
cp "$E2E_BIN/pivora.exe" "$E2E_APP/"
cp "$E2E_BIN/help.html" "$E2E_APP/"
E2E_EXE="$E2E_APP/pivora.exe"
[ -d "$E2E_APP/shortcuts" ] || bash scripts/sample-store.sh "$E2E_APP" >/dev/null

echo "run: preparing the Wine prefix $E2E_PREFIX"
pv_prefix_create "$E2E_PREFIX" "$E2E_BUILD/run-scratch" x11
pv_server_stop "$E2E_PREFIX"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "run: starting Pivora in a Wine virtual desktop on $DISPLAY"
    echo "run: its tray icon is at the right end of the desktop's task bar; choose Close in its menu to end"
    pv_server_start "$E2E_PREFIX"
    "$PV_WINE" "$E2E_EXE" >"$E2E_OUT/pivora.log" 2>&1 &
    pid=$!
    e2e_track "$pid"
    wait "$pid" || true
    echo "run: Pivora has ended"
    exit 0
fi

echo "run: no X display; using Xvfb"
e2e_xvfb_start
pv_server_start "$E2E_PREFIX" "$E2E_BIN/pvdriver.exe" hold
e2e_track "$(cat "$E2E_PREFIX/.pivora-keepalive.pid")"
e2e_start "$E2E_EXE"
e2e_wait_for 60 "the tray icon" e2e_tray_icon_shown 1 || { echo "run: no tray icon appeared"; exit 1; }
# The menu opens only once start-up has finished; click until it shows.
for attempt in 1 2 3 4 5; do
    e2e_tray_icon_pos 1
    e2e_click "$TRAY_X" "$TRAY_Y" 1
    if e2e_driver find --class '#32768' --visible --timeout 3000 >/dev/null; then
        break
    fi
done
e2e_menu_settled || true
shot="$root/build/pivora-run.png"
import -window root -display "$DISPLAY" "$shot"
echo "run: screenshot of the tray menu: $shot"

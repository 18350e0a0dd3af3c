#!/usr/bin/env bash
# The portable zip: one folder with pivora.exe, README.txt (Windows line ends)
# and help.html when there is one, no glc.ini; unpacked, pivora.exe starts from
# there and keeps its data beside itself: the item store at start-up, the
# settings at Close, nothing in the per-user directory.
#   t_portable_zip.sh BUILD_DIR
set -euo pipefail
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/menu_mouse.sh"
. "$(dirname "$0")/installer_lib.sh"
e2e_init portable_zip "$1"
inst_user_dirs
rm -rf "$INST_DOCS/Kelvory"

if [ "$PV_WINE_BITS" = 32 ]; then
    zip="$E2E_REPO/build/dist/pivora-$INST_VERSION-win32.zip"
    program="$E2E_REPO/build/win32/bin/pivora.exe"
    [ -f "$zip" ] || e2e_fail "no $zip (scripts/package.sh makes it)"
else
    # The same zip with this build's 64-bit program, for Wine without wine32.
    inst_package_amd64
    zip="$E2E_OUT/dist/pivora-$INST_VERSION-win64.zip"
    program="$E2E_BIN/pivora.exe"
fi
inst_find_help "$program"
help="$INST_HELP"

unpacked="$E2E_OUT/unpacked"
python3 -m zipfile -e "$zip" "$unpacked"
inst_listing "$unpacked" >"$E2E_OUT/contents.txt"
cat "$E2E_OUT/contents.txt"
{
    echo pivora-1.46
    echo pivora-1.46/README.txt
    [ -n "$help" ] && echo pivora-1.46/help.html
    echo pivora-1.46/pivora.exe
} | LC_ALL=C sort | diff - "$E2E_OUT/contents.txt" || e2e_fail "unexpected contents of $zip"
app="$unpacked/pivora-1.46"
cmp -s "$program" "$app/pivora.exe" || e2e_fail "the zip's pivora.exe is not $program"
[ -z "$help" ] || cmp -s "$help" "$app/help.html" || e2e_fail "help.html differs from $help"
lines=$(wc -l <"$app/README.txt")
crlf=$(grep -c $'\r$' "$app/README.txt" || true)
[ "$lines" -gt 10 ] && [ "$crlf" = "$lines" ] || e2e_fail "README.txt: $crlf of $lines lines end in CR LF"
grep -q 'DataAccess=user' "$app/README.txt" || e2e_fail "README.txt does not tell how to keep the data per user"

E2E_EXE="$app/pivora.exe"
e2e_start_pivora
mm_wait_ready 40 || e2e_fail "the tray icon never reacted"
e2e_screenshot zip-running
[ -d "$app/shortcuts" ] || e2e_fail "no item store beside the unpacked program"
mm_close_program menu-before-close
[ -f "$app/pivora.ini" ] || e2e_fail "Close wrote no pivora.ini beside the program"
[ ! -e "$INST_DOCS/Kelvory" ] || e2e_fail "the portable copy made a per-user directory"
e2e_pass

#!/usr/bin/env bash
# Packages a release build of Pivora for Windows users:
#   build/dist/pivora-1.46-setup.exe   installer (NSIS, 32-bit)
#   build/dist/pivora-1.46-win32.zip   portable zip: data beside the program
# from build/win32/bin/pivora.exe (build it first: scripts/test.sh does).
#
# help.html goes into both when it exists: beside pivora.exe in the build, or
# res/help.html in the sources.
#
#   scripts/package.sh [--exe PIVORA.EXE] [--out DIR] [--help HELP.HTML|--no-help] [--amd64]
#
# --amd64 makes the 64-bit variant (pivora-1.46-setup-x64.exe,
# pivora-1.46-win64.zip) from a 64-bit pivora.exe: the end-to-end tests use it
# where Wine cannot run 32-bit programs. It is not a product.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
version=1.46
exe="$root/build/win32/bin/pivora.exe"
out="$root/build/dist"
help=""
help_given=0
amd64=0

while [ $# -gt 0 ]; do
    case "$1" in
        --exe) exe="$2"; shift 2 ;;
        --out) out="$2"; shift 2 ;;
        --help) help="$2"; help_given=1; shift 2 ;;
        --no-help) help=""; help_given=1; shift ;;
        --amd64) amd64=1; shift ;;
        *) echo "package: unknown argument '$1'" >&2
           echo "usage: scripts/package.sh [--exe PIVORA.EXE] [--out DIR] [--help HELP.HTML|--no-help] [--amd64]" >&2
           exit 2 ;;
    esac
done

[ -f "$exe" ] || { echo "package: no $exe (build the program first)" >&2; exit 1; }
command -v makensis >/dev/null || { echo "package: makensis is missing (scripts/setup.sh installs nsis)" >&2; exit 1; }
if [ $help_given = 0 ]; then
    for h in "$(dirname "$exe")/help.html" "$root/res/help.html"; do
        if [ -f "$h" ]; then help="$h"; break; fi
    done
fi
[ -z "$help" ] || [ -f "$help" ] || { echo "package: no help page $help" >&2; exit 1; }

if [ $amd64 = 1 ]; then
    setup="$out/pivora-$version-setup-x64.exe"
    zip="$out/pivora-$version-win64.zip"
else
    setup="$out/pivora-$version-setup.exe"
    zip="$out/pivora-$version-win32.zip"
fi
mkdir -p "$out"
rm -f "$setup" "$zip"

nsis_args=(-V2 -NOCD "-DPV_EXE=$exe" "-DPV_ICON=$root/res/pivora.ico" "-DPV_OUTFILE=$setup")
[ -n "$help" ] && nsis_args+=("-DPV_HELP=$help")
[ $amd64 = 1 ] && nsis_args+=(-DPV_AMD64)
# The build date stamped into the installer, so that the same sources give the
# same file.
SOURCE_DATE_EPOCH="$(git -C "$root" log -1 --format=%ct 2>/dev/null || date +%s)" \
    makensis "${nsis_args[@]}" "$root/installer/pivora.nsi"

# The zip: one folder, the user README with Windows line ends, no glc.ini.
python3 - "$zip" "pivora-$version" "$exe" "$root/installer/README-portable.txt" "$help" <<'EOF'
import sys, zipfile
zip_path, folder, exe, readme, help_page = sys.argv[1:6]
def add(z, name, data):
    info = zipfile.ZipInfo(folder + "/" + name, date_time=(2024, 1, 1, 0, 0, 0))
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0o644 << 16
    z.writestr(info, data)
with zipfile.ZipFile(zip_path, "w") as z:
    add(z, "pivora.exe", open(exe, "rb").read())
    text = open(readme, "rb").read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    add(z, "README.txt", text)
    if help_page:
        add(z, "help.html", open(help_page, "rb").read())
EOF

echo "package: $setup ($(stat -c %s "$setup") bytes)"
echo "package: $zip ($(stat -c %s "$zip") bytes)"
if [ -n "$help" ]; then
    echo "package: help page $help"
else
    echo "package: no help.html yet (looked beside $(basename "$exe") and at res/help.html)"
fi

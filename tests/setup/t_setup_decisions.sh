#!/usr/bin/env bash
# What set-up decides when the package mirror misbehaves, with stand-in apt-get,
# dpkg-query and dpkg first on PATH (no real package manager is touched): which
# commands it runs, the exit status and message, and which Wine path the scripts
# then take.
# Usage: t_setup_decisions.sh SOURCE_DIR SCRATCH_DIR
set -u
src="$1"
scratch="$2"
rm -rf "$scratch"
mkdir -p "$scratch"
failures=0

# ---------------------------------------------------------------- stand-ins
# State in $PV_STANDIN: installed (one package a line), log (the commands
# run), arch (foreign architectures), and the behaviour the case asks for in
# $PV_STANDIN_MODE: update-fails, needs-release, no-wine32, no-nsis.
bin="$scratch/bin"
mkdir -p "$bin"
cat >"$bin/apt-get" <<'EOF'
#!/usr/bin/env bash
s="$PV_STANDIN"
echo "apt-get $*" >>"$s/log"
mode=" $PV_STANDIN_MODE "
case "$1" in
    update)
        if [[ $mode == *" update-fails "* ]]; then
            echo "E: Failed to fetch http://mirror/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
            exit 100
        fi
        exit 0 ;;
    install) shift ;;
    *) exit 64 ;;
esac
release="" pkgs=()
while [ $# -gt 0 ]; do
    case "$1" in
        -t) release="$2"; shift 2 ;;
        -*) shift ;;
        *) pkgs+=("$1"); shift ;;
    esac
done
for p in "${pkgs[@]}"; do
    if [ "$p" = wine32:i386 ] && [[ $mode == *" no-wine32 "* ]]; then
        echo "E: Package 'wine32:i386' has no installation candidate"; exit 100
    fi
    if [ "$p" = wine32:i386 ] && [[ $mode == *" needs-release "* ]] && [ -z "$release" ]; then
        echo "E: Unable to correct problems, you have held broken packages."; exit 100
    fi
    if [ "$p" = nsis ] && [[ $mode == *" no-nsis "* ]]; then
        echo "E: Unable to locate package nsis"; exit 100
    fi
done
for p in "${pkgs[@]}"; do
    echo "$p" >>"$s/installed"
    # The release suite's wine32 takes its own libwine, which wine64 of the
    # security suite cannot share: apt removes wine64.
    if [ "$p" = wine32:i386 ] && [ -n "$release" ]; then
        grep -vx wine64 "$s/installed" >"$s/installed.new"; mv "$s/installed.new" "$s/installed"
    fi
done
exit 0
EOF
# Asked once a package and a round, so kept to the lightest shell.
cat >"$bin/dpkg-query" <<'EOF'
#!/bin/sh
# dpkg-query -W -f='${Status}' PACKAGE
for pkg; do :; done
grep -qx "$pkg" "$PV_STANDIN/installed" 2>/dev/null || { echo "dpkg-query: no packages found matching $pkg" >&2; exit 1; }
printf 'install ok installed'
EOF
cat >"$bin/dpkg" <<'EOF'
#!/usr/bin/env bash
case "$1" in
    --print-foreign-architectures) cat "$PV_STANDIN/arch" 2>/dev/null ;;
    --add-architecture) echo "dpkg --add-architecture $2" >>"$PV_STANDIN/log"; echo "$2" >>"$PV_STANDIN/arch" ;;
esac
exit 0
EOF
chmod +x "$bin"/*
printf 'PRETTY_NAME="Debian GNU/Linux 12 (bookworm)"\nVERSION_CODENAME=bookworm\n' >"$scratch/os-release"

# Every package set-up installs, read from the script so that the list stays one.
all_pkgs=$(sed -n '/^common=(/,/)/p;/^wine32=(/p' "$src/scripts/setup.sh" | tr -d '()' |
    sed 's/^common=//;s/^wine32=//' | tr -s ' \n' '\n' | grep -v '^$')

# The Wine path the scripts take once set-up has run: wine32 counts as
# working when the stand-in installed it (a loader that answers).
wine_path() {  # STATE
    local loader="$1/wine32-loader"
    if grep -qx wine32:i386 "$1/installed" 2>/dev/null; then
        printf '#!/bin/sh\necho wine-8.0\n' >"$loader"
        chmod +x "$loader"
    fi
    (PIVORA_WINE32_LOADER="$loader"; unset PIVORA_WINE_BITS; . "$src/scripts/wine-env.sh"; echo "wine$(pv_wine_suite_bits)")
}

fail() { echo "FAIL $case_name: $*"; failures=$((failures + 1)); }

# ---------------------------------------------------------------- cases
# name | mode | preinstalled (all/none) | exit | Wine path | lines the output must hold (;-separated)
#      | commands the log must hold in this order (;-separated) | a command it must not run
# In every case apt-get update is tried at most 3 times.
cases=(
"fresh machine, a quiet mirror|ok|none|0|wine32|setup: done|apt-get update -qq;apt-get install -y -qq --no-install-recommends cmake;apt-get install -y -qq --no-install-recommends wine32:i386|apt-get install -y -qq --no-install-recommends -t"
"the update fails every time|update-fails|none|0|wine32|setup: apt-get update failed 3 times (E: Failed to fetch http://mirror/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?); going on with the package lists it has;setup: done|apt-get update -qq;apt-get update -qq;apt-get update -qq;apt-get install -y -qq --no-install-recommends cmake|apt-get install -y -qq --no-install-recommends -t"
"wine32 only from the release suite|needs-release|none|0|wine32|setup: the default candidates of wine32:i386 cannot be installed (E: Unable to correct problems, you have held broken packages.); trying the bookworm suite's versions;setup: done|apt-get install -y -qq --no-install-recommends wine32:i386;apt-get install -y -qq --no-install-recommends -t bookworm wine32:i386 libgstreamer-plugins-base1.0-0:i386;apt-get install -y -qq --no-install-recommends wine64|"
"wine32 never installable|no-wine32|none|0|wine64|setup: wine32:i386 cannot be installed here (E: Package 'wine32:i386' has no installation candidate); the Wine suites take the wine64 path;setup: done|apt-get install -y -qq --no-install-recommends cmake;apt-get install -y -qq --no-install-recommends -t bookworm wine32:i386 libgstreamer-plugins-base1.0-0:i386|"
"the update fails and wine32 never installs|update-fails no-wine32|none|0|wine64|going on with the package lists it has;the Wine suites take the wine64 path|apt-get update -qq;apt-get update -qq;apt-get update -qq|"
"a package both paths need cannot be had|no-nsis|none|1|wine32|setup: failed: nsis cannot be installed; apt said:;  E: Unable to locate package nsis|apt-get install -y -qq --no-install-recommends cmake;apt-get install -y -qq --no-install-recommends -t bookworm cmake|"
"everything already there|update-fails|all|0|wine32|setup: everything is installed||apt-get"
)

for row in "${cases[@]}"; do
    IFS='|' read -r case_name mode pre want_rc want_path want_out want_log not_log <<<"$row"
    state="$scratch/state-${case_name// /_}"
    mkdir -p "$state"
    : >"$state/log"
    : >"$state/installed"
    [ "$pre" = all ] && { echo "$all_pkgs" >"$state/installed"; echo i386 >"$state/arch"; }
    out=$(PATH="$bin:$PATH" PV_STANDIN="$state" PV_STANDIN_MODE="$mode" PIVORA_SETUP_PAUSE=0 \
        PIVORA_OS_RELEASE="$scratch/os-release" TMPDIR="$scratch" bash "$src/scripts/setup.sh" 2>&1)
    rc=$?
    [ "$rc" = "$want_rc" ] || fail "exit $rc, not $want_rc; output:"$'\n'"$out"
    IFS=';' read -r -a lines <<<"$want_out"
    for l in "${lines[@]}"; do
        [ -z "$l" ] && continue
        grep -qF -- "$l" <<<"$out" || fail "no line '$l' in the output:"$'\n'"$out"
    done
    # The commands, in this order (each matched at or after the one before).
    IFS=';' read -r -a cmds <<<"$want_log"
    rest=$(cat "$state/log")
    for c in "${cmds[@]}"; do
        [ -z "$c" ] && continue
        n=$(grep -nF -- "$c" <<<"$rest" | head -1 | cut -d: -f1)
        if [ -z "$n" ]; then
            fail "'$c' not run (in this order); commands:"$'\n'"$(cat "$state/log")"
            break
        fi
        rest=$(tail -n +"$((n + 1))" <<<"$rest")
    done
    [ -n "$not_log" ] && grep -qF -- "$not_log" "$state/log" && fail "ran '$not_log':"$'\n'"$(cat "$state/log")"
    [ "$(grep -c '^apt-get update' "$state/log")" -le 3 ] || fail "apt-get update tried more than 3 times"
    [ "$rc" = 0 ] || ! grep -qF 'setup: done' <<<"$out" || fail "says 'setup: done' but fails"
    if [ "$rc" = 0 ]; then
        # Everything of the path taken is installed, and wine64 whatever happened.
        for p in $all_pkgs; do
            [ "$p" = wine32:i386 ] && [ "$want_path" = wine64 ] && continue
            grep -qx "$p" "$state/installed" || fail "$p is not installed afterwards"
        done
    fi
    path=$(wine_path "$state")
    [ "$path" = "$want_path" ] || fail "the scripts take $path, not $want_path"
    echo "case '$case_name': exit $rc, $path"
done

if [ $failures -gt 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "all ${#cases[@]} cases pass"

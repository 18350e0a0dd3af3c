#!/usr/bin/env bash
# Installs what the build, the packaging (makensis from nsis; strings from
# binutils for the installer checks), the three test suites and the fuzz targets
# (clang with its libFuzzer runtime) need on a Debian machine.
# Does nothing when everything is already there.
#
# Package mirrors are often briefly out of step: one index file that fails to
# download, or security updates for amd64 whose i386 twins are not there yet
# (multiarch libraries must have the same version on both architectures).
# So set-up
#   - retries a failing `apt-get update` a few times, then goes on with the lists
#     it has;
#   - when the default candidates cannot be installed, retries with the release
#     suite's versions (-t CODENAME), then checks that everything of both paths
#     is still installed (such an install may remove wine64 to make room);
#   - when wine32 still cannot be installed, installs the rest: the scripts then
#     take the wine64 path, as on machines that cannot run 32-bit programs.
# It fails only when something the chosen path needs is missing, and names it.
#
# PIVORA_SETUP_PAUSE (seconds between update tries, 5) and PIVORA_OS_RELEASE
# (/etc/os-release) are there for the tests of these decisions.
set -uo pipefail

# Everything both Wine paths need; wine32 alone is the 32-bit path's own.
common=(cmake make g++ googletest libgtest-dev libbenchmark-dev
        g++-mingw-w64-i686-posix binutils-mingw-w64-i686
        g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
        wine wine64 xvfb xdotool imagemagick fonts-wine fonts-dejavu-core
        fonts-wqy-microhei fonts-symbola
        x11-utils python3 clang libclang-rt-14-dev
        nsis binutils)
wine32=(wine32:i386)
# Installed beside wine32 when the release suite's versions are taken, so that
# its i386 libraries and their amd64 twins come from the same suite.
wine32_release_extra=(libgstreamer-plugins-base1.0-0:i386)

pause="${PIVORA_SETUP_PAUSE:-5}"
os_release="${PIVORA_OS_RELEASE:-/etc/os-release}"
apt_log="$(mktemp "${TMPDIR:-/tmp}/pivora-setup.XXXXXX")"
trap 'rm -f "$apt_log"' EXIT

have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing() {  # PACKAGE... -> prints those not installed
    local p
    for p in "$@"; do have_pkg "$p" || echo "$p"; done
}
apt_errors() { grep -E '^(E|W):' "$apt_log" | head -5; }

need_common=($(missing "${common[@]}"))
need_wine32=($(missing "${wine32[@]}"))
if [ ${#need_common[@]} -eq 0 ] && [ ${#need_wine32[@]} -eq 0 ]; then
    echo "setup: everything is installed"
    exit 0
fi
echo "setup: installing ${need_common[*]} ${need_wine32[*]}"
export DEBIAN_FRONTEND=noninteractive

if [ ${#need_wine32[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding the i386 architecture"
    dpkg --add-architecture i386
fi

# The package lists may be missing or stale (and a new architecture needs them).
updated=0
for try in 1 2 3; do
    if apt-get update -qq >"$apt_log" 2>&1; then
        updated=1
        break
    fi
    [ $try -lt 3 ] && sleep "$pause"
done
if [ $updated = 0 ]; then
    echo "setup: apt-get update failed 3 times ($(apt_errors | head -1)); going on with the package lists it has"
fi

codename=$(. "$os_release" 2>/dev/null && echo "${VERSION_CODENAME:-}")

# apt installs all it is given or nothing. The packages given go in first with
# the default candidates, then with the release suite's versions; when that
# fails too, one at a time, so that the rest still goes in and the error names
# the package. Each failing package's apt error lands in apt_error[PACKAGE].
declare -A apt_error=()
install_once() {  # QUIET EXTRA-COUNT EXTRA... PACKAGE...
    local quiet="$1" n="$2"; shift 2
    local extra=("${@:1:$n}"); shift "$n"
    apt-get install -y -qq --no-install-recommends "$@" >"$apt_log" 2>&1 && return 0
    [ -n "$codename" ] || return 1
    [ "$quiet" = 1 ] || echo "setup: the default candidates of $* cannot be installed" \
        "($(apt_errors | head -1)); trying the $codename suite's versions"
    apt-get install -y -qq --no-install-recommends -t "$codename" "$@" "${extra[@]}" >"$apt_log" 2>&1
}
install() {  # [--release-extra PKG...] -- PACKAGE...
    local extra=() p ok=0
    if [ "${1:-}" = --release-extra ]; then
        shift
        while [ $# -gt 0 ] && [ "$1" != -- ]; do extra+=("$1"); shift; done
    fi
    [ "${1:-}" = -- ] && shift
    [ $# -gt 0 ] || return 0
    install_once 0 ${#extra[@]} "${extra[@]}" "$@" && return 0
    if [ $# -eq 1 ]; then
        apt_error[$1]=$(apt_errors)
        return 1
    fi
    echo "setup: installing them one at a time"
    for p in "$@"; do
        if ! install_once 1 ${#extra[@]} "${extra[@]}" "$p"; then
            apt_error[$p]=$(apt_errors)
            ok=1
        fi
    done
    return $ok
}

if [ ${#need_common[@]} -gt 0 ]; then
    install -- "${need_common[@]}"
fi
if [ ${#need_wine32[@]} -gt 0 ]; then
    install --release-extra "${wine32_release_extra[@]}" -- "${need_wine32[@]}"
fi

# An install from the release suite can remove packages of the other path
# (wine64 above all): put back what went, once, with the same versions.
gone=($(missing "${common[@]}"))
if [ ${#gone[@]} -gt 0 ]; then
    install -- "${gone[@]}"
fi

still=($(missing "${common[@]}"))
if [ ${#still[@]} -gt 0 ]; then
    echo "setup: failed: ${still[*]} cannot be installed; apt said:"
    for p in "${still[@]}"; do
        echo "${apt_error[$p]:-E: $p was installed, then removed by a later install}" | sed 's/^/  /'
    done
    exit 1
fi
if [ ${#need_wine32[@]} -gt 0 ] && [ -n "$(missing "${wine32[@]}")" ]; then
    why=$(echo "${apt_error[wine32:i386]:-E: a later install removed it again}" | head -1)
    echo "setup: wine32:i386 cannot be installed here ($why); the Wine suites take the wine64 path"
fi
echo "setup: done"

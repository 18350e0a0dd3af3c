#!/usr/bin/env bash
# Installs what the build, the packaging (makensis from nsis; strings from
# binutils for the installer checks), the three test suites and the fuzz targets
# (clang with its libFuzzer runtime) need on a Debian machine.
# Does nothing when everything is already there.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding the i386 architecture"
    dpkg --add-architecture i386
fi

for p in cmake make g++ googletest libgtest-dev libbenchmark-dev \
         g++-mingw-w64-i686-posix binutils-mingw-w64-i686 \
         g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
         wine wine32:i386 wine64 xvfb xdotool imagemagick fonts-wine fonts-dejavu-core \
         x11-utils python3 clang libclang-rt-14-dev \
         nsis binutils; do
    have_pkg "$p" || need+=("$p")
done

if [ ${#need[@]} -eq 0 ]; then
    echo "setup: everything is installed"
    exit 0
fi

echo "setup: installing ${need[*]}"
export DEBIAN_FRONTEND=noninteractive
# The package lists may be missing or stale (and a new architecture needs them).
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
echo "setup: done"

#!/usr/bin/env bash
# Runs a command as on a machine whose kernel refuses 32-bit programs (so
# wine32 cannot start), which PIVORA_WINE_BITS=64 imitates only in part: in a
# mount namespace of its own, the 32-bit Wine loader is replaced by one that
# fails the way it does there. Nothing outside that namespace changes. Needs
# root (unshare, mount).
#   scripts/without-wine32.sh bash scripts/test.sh
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: scripts/without-wine32.sh COMMAND [ARGS...]" >&2; exit 2; }
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$root/scripts/wine-env.sh"
[ -e "$PV_WINE32" ] || { echo "without-wine32: no $PV_WINE32 here, nothing to hide" >&2; exec "$@"; }
mkdir -p "$root/build"
fake="$root/build/wine32-refused"
printf '#!/bin/sh\necho "wine32 refused here (imitated): Exec format error" >&2\nexit 126\n' >"$fake"
chmod +x "$fake"
exec unshare --mount --propagation private -- bash -c 'mount --bind "$1" "$2" && shift 2 && exec "$@"' \
    bash "$fake" "$PV_WINE32" "$@"

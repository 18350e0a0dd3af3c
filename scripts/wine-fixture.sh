#!/usr/bin/env bash
# CTest fixture of the Wine test build.
#   wine-fixture.sh setup   PREFIX SCRATCH KEEPALIVE.EXE
#   wine-fixture.sh cleanup PREFIX
# setup creates the headless prefix once (null graphics driver), then starts a
# persistent wineserver and one keep-alive client, all detached from CTest's
# output pipes, so that each test program starts in a fraction of a second.
# cleanup stops that prefix's wineserver and nothing else.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh"

action="${1:-}"
prefix="${2:-}"
[ -n "$action" ] && [ -n "$prefix" ] || { echo "usage: $0 setup|cleanup PREFIX [SCRATCH KEEPALIVE]" >&2; exit 2; }

case "$action" in
setup)
    scratch="$3"
    keepalive="$4"
    pv_wine_pick "$(pv_pe_bits "$keepalive")"
    t0=$(date +%s.%N)
    mkdir -p "$(dirname "$prefix")"
    # Not in a subshell: pv_prefix_create exports the prefix's environment,
    # which everything below must run with.
    exec 9>"$(dirname "$prefix")/.wineprefix.lock"
    flock 9
    pv_prefix_create "$prefix" "$scratch" null
    flock -u 9
    exec 9>&-
    pv_server_start "$prefix" "$keepalive" hold
    t1=$(date +%s.%N)
    echo "wine fixture: $PV_WINE ($PV_WINEARCH) prefix $prefix ready in $(awk "BEGIN{printf \"%.1f\", $t1 - $t0}") s"
    ;;
cleanup)
    pv_wine_pick
    pv_server_stop "$prefix"
    echo "wine fixture: stopped the wineserver of $prefix"
    ;;
*)
    echo "unknown action $action" >&2
    exit 2
    ;;
esac

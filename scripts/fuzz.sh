#!/usr/bin/env bash
# Builds the fuzz targets (clang's libFuzzer with AddressSanitizer and UBSan,
# build/fuzz) and runs them for as long as asked, for a deeper search than the
# bounded run of scripts/test.sh:
#
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]
#
# SECONDS per target (default 600); TARGETs among store_format, store_load,
# settings (default all). JOBS=2 runs two targets at a time (default 1; the
# machine has two cores). Findings land in build/fuzz/findings, the grown corpus
# in build/fuzz/corpus; to keep a finding once it is mended, copy it into
# tests/fuzz/corpus/<target>/ with a name that says what it is.
# Exits non-zero when any target found something.
set -uo pipefail
exec </dev/null

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root" || exit 1
. scripts/fuzz-lib.sh

secs=600
if [ $# -gt 0 ] && [[ "$1" =~ ^[0-9]+$ ]]; then
    secs="$1"
    shift
fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${PV_FUZZ_TARGETS[@]}")
for t in "${targets[@]}"; do
    if ! printf '%s\n' "${PV_FUZZ_TARGETS[@]}" | grep -qx "$t"; then
        echo "fuzz.sh: no target $t (targets: ${PV_FUZZ_TARGETS[*]})"
        exit 2
    fi
done
jobs_at_once="${JOBS:-1}"

bash scripts/setup.sh || exit 1
pv_fuzz_build 2 || exit 1

echo "fuzzing ${targets[*]} for ${secs}s each, $jobs_at_once at a time"
failed=0
running=0
outs=()
for t in "${targets[@]}"; do
    out="$PV_FUZZ_BUILD/logs/$t.summary"
    mkdir -p "$PV_FUZZ_BUILD/logs"
    outs+=("$out")
    (pv_fuzz_run "$t" "$secs" >"$out"; echo $? >"$out.rc") &
    running=$((running + 1))
    if [ "$running" -ge "$jobs_at_once" ]; then
        wait -n
        running=$((running - 1))
    fi
done
wait
for out in "${outs[@]}"; do
    cat "$out"
    [ "$(cat "$out.rc")" = 0 ] || failed=$((failed + 1))
done
echo "$failed of ${#targets[@]} targets found something"
[ "$failed" = 0 ]

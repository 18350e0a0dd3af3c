# shellcheck shell=bash
# Building and running the fuzz targets (tests/fuzz), shared by scripts/fuzz.sh
# and scripts/test.sh. Sourced; expects to run from the worktree's root, with
# $root naming it.
#
# Each target fuzzes from its seed corpus tests/fuzz/corpus/<name> (read only)
# and keeps what it learns in build/fuzz/corpus/<name>; a finding is written to
# build/fuzz/findings/<name>-crash-... (or -timeout-, -leak-, -oom-).

PV_FUZZ_BUILD=build/fuzz
PV_FUZZ_TARGETS=(store_format store_load settings)

# The dictionary a target mutates with.
pv_fuzz_dict() {  # NAME
    case "$1" in
        settings) echo tests/fuzz/settings.dict ;;
        *) echo tests/fuzz/store.dict ;;
    esac
}

# Configures and builds build/fuzz with clang; the log goes to build/build-fuzz.log.
pv_fuzz_build() {  # JOBS
    local logf=build/build-fuzz.log
    mkdir -p build
    {
        cmake -S tests/fuzz -B "$PV_FUZZ_BUILD" -DCMAKE_CXX_COMPILER=clang++ &&
            cmake --build "$PV_FUZZ_BUILD" -j"${1:-2}"
    } >"$logf" 2>&1
    local rc=$?
    if [ $rc != 0 ]; then
        echo "fuzz build failed; the end of $logf:"
        tail -30 "$logf"
    fi
    return $rc
}

# Runs one target for SECONDS; its output goes to build/fuzz/logs/NAME.log.
# Prints one line: name, result, executions, coverage (libFuzzer's cov and ft),
# corpus size. Returns non-zero on a finding (or when the target cannot run).
pv_fuzz_run() {  # NAME SECONDS
    local name="$1" secs="$2"
    local bin="$PV_FUZZ_BUILD/bin/fuzz_$name" logf="$PV_FUZZ_BUILD/logs/$name.log"
    mkdir -p "$PV_FUZZ_BUILD/logs" "$PV_FUZZ_BUILD/corpus/$name" "$PV_FUZZ_BUILD/findings"
    # A hang counts as a finding after 20 s; a store that makes start-up hang
    # is a fault like a crash.
    # The data directories a target lays out, one directory per run, removed
    # afterwards: in memory where there is a tmpfs (on disk a store target runs
    # ten times slower), else in the build tree.
    local scratch="$root/$PV_FUZZ_BUILD/scratch/$name"
    [ -d /dev/shm ] && [ -w /dev/shm ] && scratch="/dev/shm/pivora-fuzz-$name-$$"
    rm -rf "$scratch"
    PIVORA_FUZZ_SCRATCH="$scratch" "$bin" -max_total_time="$secs" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
        -dict="$(pv_fuzz_dict "$name")" -artifact_prefix="$PV_FUZZ_BUILD/findings/$name-" \
        "$PV_FUZZ_BUILD/corpus/$name" "tests/fuzz/corpus/$name" >"$logf" 2>&1
    local rc=$?
    rm -rf "$scratch"
    local done_line execs cov ft corp
    done_line=$(grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE|INITED)' "$logf" | tail -1)
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$logf" | tail -1)
    cov=$(sed -nE 's/.* cov: ([0-9]+).*/\1/p' <<<"$done_line")
    ft=$(sed -nE 's/.* ft: ([0-9]+).*/\1/p' <<<"$done_line")
    corp=$(sed -nE 's/.* corp: ([0-9]+)\/.*/\1/p' <<<"$done_line")
    if [ $rc = 0 ]; then
        printf '%-14s no finding  %10s executions in %ss  cov %s  ft %s  corpus %s\n' \
            "$name" "${execs:-?}" "$secs" "${cov:-?}" "${ft:-?}" "${corp:-?}"
    else
        printf '%-14s FINDING (exit %s), see %s\n' "$name" "$rc" "$logf"
        grep -E 'ERROR:|property broken|runtime error|SUMMARY|Test unit written' "$logf" | head -8
    fi
    return $rc
}

#!/usr/bin/env bash
# Builds everything and runs the test suites:
#   1. native GoogleTest with AddressSanitizer and UBSan (build/native)
#   2. GoogleTest cross-compiled for Windows, run under Wine through CTest
#   3. end-to-end tests under Wine on Xvfb (CTest label e2e)
#   4. fuzz targets with libFuzzer, ASan and UBSan, a bounded time each (build/fuzz)
# and checks the product, build/win32/bin/pivora.exe (32-bit, GUI, system DLLs only),
# and packages it (build/dist: installer and portable zip; suite 3 installs them).
#
# Wine: where 32-bit programs can run, suites 2 and 3 use wine32 and the i686
# build itself; where the kernel refuses them (no wine32), they use a 64-bit
# build of the same sources (build/win64) under wine64.
#
# Where the Wine suites take the 64-bit path, the 32-bit product, its packages
# and the fuzz targets are made and run beside suites 2 and 3 at the lowest
# priority; the end-to-end tests run two at a time.
#
# Ends with one line "N passed, N failed, N skipped" (CTest tests, plus GoogleTest
# cases that skipped themselves among the skipped; a failed build or product
# check counts as one failed test) and exits non-zero on any failure.
# Works unattended (CI=true, no stdin). JOBS overrides the parallelism (2).
set -uo pipefail
exec </dev/null

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root" || exit 1
. scripts/wine-env.sh
JOBS="${JOBS:-2}"
t_start=$(date +%s)

# One line per suite, its fields "KEY NAME PASSED FAILED SECONDS NOTE SKIPPED"
# apart by the unit separator (a note may be empty or hold blanks),
# appended by whichever shell ran the suite (some run in the background) and
# read in KEY order for the summary.
records="$root/build/test-records.txt"
mkdir -p build
: >"$records"

now() { date +%s; }
log() { echo "== $*"; }

record() {  # KEY NAME PASSED FAILED SECONDS [NOTE] [SKIPPED]
    printf '%s\037%s\037%d\037%d\037%d\037%s\037%d\n' "$1" "$2" "$3" "$4" "$5" "${6:-}" "${7:-0}" >>"$records"
}

# Runs ctest in a build dir with extra arguments; sets CT_PASS, CT_FAIL and
# CT_SKIP. Skipped counts both CTest entries that did not run here (exit code
# 77) and GoogleTest cases that skipped themselves (GTEST_SKIP), read from the
# XML reports the test programs write; a CTest entry that skipped is not passed.
run_ctest() {  # DIR LOGNAME ARGS...
    local dir="$1" name="$2"; shift 2
    local logf="$root/build/$name.log" line total failed xml gtest_out
    xml="$root/$dir/gtest-xml/$name"
    rm -rf "$xml"
    mkdir -p "$xml"
    if [ "$dir" = build/native ]; then
        gtest_out="xml:$xml/"
    else
        gtest_out="xml:Z:$(tr '/' '\\' <<<"$xml")\\"
    fi
    (cd "$dir" && GTEST_OUTPUT="$gtest_out" ctest --output-on-failure "$@") 2>&1 | tee "$logf" |
        grep -E '^ *[0-9]+/[0-9]+ Test|tests passed|\*\*\*|Failed|Timeout|Not Run|Skipped' || true
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$logf" | tail -1)
    local ctest_skipped gtest_skipped
    ctest_skipped=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*Skipped' "$logf" || true)
    gtest_skipped=$(cat "$xml"/*.xml 2>/dev/null | grep -c 'result="skipped"' || true)
    CT_SKIP=$(( ctest_skipped + gtest_skipped ))
    if [ -n "$line" ]; then
        failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
        total=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
        CT_PASS=$(( total - failed - ctest_skipped ))
        CT_FAIL=$failed
    elif grep -q 'No tests were found' "$logf"; then
        CT_PASS=0
        CT_FAIL=0
    else
        CT_PASS=0
        CT_FAIL=1
    fi
}

configure_build() {  # DIR LOGNAME CMAKE-ARGS... -- TARGETS...
    local dir="$1" name="$2"; shift 2
    local args=() targets=()
    while [ $# -gt 0 ] && [ "$1" != -- ]; do args+=("$1"); shift; done
    [ $# -gt 0 ] && shift
    targets=("$@")
    local logf="$root/build/$name.log"
    {
        cmake -S "$root" -B "$dir" "${args[@]}" &&
        if [ ${#targets[@]} -gt 0 ]; then
            cmake --build "$dir" -j"$JOBS" --target "${targets[@]}"
        else
            cmake --build "$dir" -j"$JOBS"
        fi
    } >"$logf" 2>&1
    local rc=$?
    if [ $rc != 0 ]; then
        echo "build in $dir failed; the end of $logf:"
        tail -40 "$logf"
    fi
    if grep -q 'warning:' "$logf"; then
        echo "warnings in $dir (see $logf):"
        grep 'warning:' "$logf" | sort -u | head -20
    fi
    return $rc
}

mkdir -p build

log "set-up"
if ! bash scripts/setup.sh; then
    echo "set-up failed"
    echo "0 passed, 1 failed"
    exit 1
fi

if [ "$(pv_wine_suite_bits)" = 32 ]; then
    WINE_BITS=32
    WINE_BUILD=build/win32
    WINE_TOOLCHAIN=cmake/mingw-i686.cmake
else
    WINE_BITS=64
    WINE_BUILD=build/win64
    WINE_TOOLCHAIN=cmake/mingw-x86_64.cmake
fi
log "Wine suites use wine$WINE_BITS with $WINE_BUILD" \
    "$([ $WINE_BITS = 64 ] && { pv_wine32_works && echo '(PIVORA_WINE_BITS=64 asks for the 64-bit path)' || echo '(this machine cannot run 32-bit programs: wine32 fails to start)'; })"

# ---------------------------------------------------------------- suite 1
log "suite 1: native build with AddressSanitizer and UBSan (build/native)"
t0=$(now)
# A failed build counts as one failure; the tests that did build still run.
native_note=""
# Line tables only (-g1): enough for the sanitizers' reports to name files and
# lines, at a fraction of full debug information's compile and link time.
configure_build build/native build-native -DCMAKE_BUILD_TYPE=Debug -DPIVORA_SANITIZE=ON \
    -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g1" -DCMAKE_C_FLAGS_DEBUG="-O0 -g1" ||
    native_note="build failed"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
run_ctest build/native suite1-native -j"$JOBS"
[ -n "$native_note" ] && CT_FAIL=$(( CT_FAIL + 1 ))
record 1 "suite 1 native" "$CT_PASS" "$CT_FAIL" $(( $(now) - t0 )) "$native_note" "$CT_SKIP"

# ---------------------------------------------------------------- product
product_phase() {
    # The whole i686 build, every target, on every machine: a fault only the 32-bit
    # build has (a lambda where a __stdcall callback is needed, a pointer-size
    # assumption) must fail the run even where the Wine suites use the 64-bit build.
    log "product: the whole 32-bit build (build/win32, cmake/mingw-i686.cmake, Release)"
    t0=$(now)
    product_ok=1
    product_note=""
    max_size=800000
    if configure_build build/win32 build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
            -DCMAKE_BUILD_TYPE=Release; then
        if grep -q 'warning:' build/build-win32.log; then
            product_ok=0; product_note="warnings in the 32-bit build"
        fi
        exe=build/win32/bin/pivora.exe
        desc=$(file -b "$exe" 2>/dev/null)
        echo "file: $desc"
        if ! grep -q 'PE32 executable (GUI) Intel 80386' <<<"$desc"; then
            product_ok=0; product_note="not a PE32 GUI i386 executable"
        fi
        if i686-w64-mingw32-objdump -h "$exe" 2>/dev/null | grep -q '\.debug_'; then
            product_ok=0; product_note="pivora.exe carries debug sections"
        fi
        size=$(stat -c %s "$exe" 2>/dev/null || echo 0)
        echo "size: pivora.exe is $size bytes (at most $max_size)"
        if [ "$size" -gt "$max_size" ]; then
            product_ok=0; product_note="pivora.exe is $size bytes, more than $max_size"
        fi
        dlls=$(i686-w64-mingw32-objdump -p "$exe" 2>/dev/null | sed -n 's/^\s*DLL Name: //p' | tr -d '\r')
        echo "imports: $(echo $dlls)"
        [ -n "$dlls" ] || { product_ok=0; product_note="no import table"; }
        sysdll='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|shlwapi|ole32|oleaut32|advapi32|winmm|msvcrt|version|uxtheme|msimg32|imm32|ws2_32|psapi|api-ms-win-[a-z0-9-]+)\.dll$'
        for d in $dlls; do
            if ! grep -qiE "$sysdll" <<<"$d"; then
                product_ok=0
                product_note="imports non-system DLL $d"
                echo "not a system DLL: $d"
            fi
            # Start-up does not use these; they are loaded when first needed.
            if grep -qiE '^(comdlg32|winmm)\.dll$' <<<"$d"; then
                product_ok=0
                product_note="imports $d, which start-up does not use"
            fi
        done
    else
        product_ok=0
        product_note="build failed"
    fi
    if [ $product_ok = 1 ]; then
        record 2 "product check" 1 0 $(( $(now) - t0 )) "$exe, $size bytes, all i686 targets built warning-free"
    else
        record 2 "product check" 0 1 $(( $(now) - t0 )) "$product_note"
    fi

}

# ---------------------------------------------------------------- packaging
packaging_phase() {
    # The installer and the portable zip from the 32-bit release program, on every
    # machine (makensis runs natively); the end-to-end suite installs and unpacks
    # them. Checked here: what Windows shows of the installer before it runs.
    log "packaging: build/dist (installer and portable zip from $exe)"
    t0=$(now)
    pkg_ok=1
    pkg_note=""
    setup=build/dist/pivora-1.46-setup.exe
    pkgzip=build/dist/pivora-1.46-win32.zip
    if [ $product_ok != 1 ]; then
        pkg_ok=0; pkg_note="no product to package"
    elif ! bash scripts/package.sh >build/package.log 2>&1; then
        tail -20 build/package.log
        pkg_ok=0; pkg_note="scripts/package.sh failed (build/package.log)"
    else
        cat build/package.log
        grep -q 'warning' build/package.log && { pkg_ok=0; pkg_note="makensis warned (build/package.log)"; }
        desc=$(file -b "$setup")
        grep -q 'PE32 executable (GUI) Intel 80386' <<<"$desc" ||
            { pkg_ok=0; pkg_note="the installer is not a 32-bit GUI program: $desc"; }
        # Version information, as Explorer's properties show it.
        vinfo=$(strings -a -el "$setup" | tr '\n' '|')
        for pair in 'ProductName|Kelvory Pivora' 'CompanyName|Kelvory' 'ProductVersion|1.46' 'FileVersion|1.46'; do
            grep -qF "|$pair|" <<<"|$vinfo" || { pkg_ok=0; pkg_note="no version entry $pair in the installer"; }
        done
        # The program's icon: both its pictures (16 and 32 pixels) inside the installer.
        python3 - "$setup" res/pivora.ico <<'PYEOF' || { pkg_ok=0; pkg_note="the installer lacks the program's icon"; }
import struct, sys
exe, ico = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
count = struct.unpack("<H", ico[4:6])[0]
for i in range(count):
    size, offset = struct.unpack("<II", ico[6 + 16 * i + 8:6 + 16 * i + 16])
    if ico[offset:offset + size] not in exe:
        sys.exit(1)
PYEOF
        listing=$(python3 -m zipfile -l "$pkgzip" | awk 'NR > 1 { print $1 }' | LC_ALL=C sort | tr '\n' ' ')
        echo "zip: $listing"
        grep -q 'glc.ini' <<<"$listing" && { pkg_ok=0; pkg_note="the zip holds a glc.ini"; }
        grep -q 'pivora-1.46/pivora.exe' <<<"$listing" || { pkg_ok=0; pkg_note="no pivora.exe in the zip"; }
    fi
    if [ $pkg_ok = 1 ]; then
        record 3 "packaging" 1 0 $(( $(now) - t0 )) "$setup ($(stat -c %s "$setup") bytes), $pkgzip"
    else
        record 3 "packaging" 0 1 $(( $(now) - t0 )) "$pkg_note"
    fi

}

# ---------------------------------------------------------------- suite 4
fuzz_phase() {
    # Fuzz targets (tests/fuzz): clang's libFuzzer with AddressSanitizer and UBSan in
    # their own build (build/fuzz). All run at once, FUZZ_SECONDS (30) each, from its seed corpus
    # and the corpus it grew before; a crash, a sanitizer report, a broken property
    # or a hang is a failed test. scripts/fuzz.sh runs them for longer.
    FUZZ_SECONDS="${FUZZ_SECONDS:-30}"
    log "suite 4: fuzz targets, ${FUZZ_SECONDS}s each (build/fuzz, libFuzzer with ASan and UBSan)"
    t0=$(now)
    . scripts/fuzz-lib.sh
    fuzz_pass=0
    fuzz_fail=0
    fuzz_note=""
    if pv_fuzz_build "$JOBS"; then
        # All at once: each runs for its time whatever share of the processor it gets.
        local pids=() i
        mkdir -p "$PV_FUZZ_BUILD/logs"
        for t in "${PV_FUZZ_TARGETS[@]}"; do
            pv_fuzz_run "$t" "$FUZZ_SECONDS" >"$PV_FUZZ_BUILD/logs/$t.result" &
            pids+=($!)
        done
        for i in "${!pids[@]}"; do
            if wait "${pids[$i]}"; then
                fuzz_pass=$(( fuzz_pass + 1 ))
            else
                fuzz_fail=$(( fuzz_fail + 1 ))
            fi
            cat "$PV_FUZZ_BUILD/logs/${PV_FUZZ_TARGETS[$i]}.result"
        done
    else
        fuzz_fail=1
        fuzz_note="build failed"
    fi
    record 6 "suite 4 fuzz" "$fuzz_pass" "$fuzz_fail" $(( $(now) - t0 )) \
        "${fuzz_note:-findings in $PV_FUZZ_BUILD/findings}"
}

# On the 64-bit path nothing the Wine suites run needs the 32-bit product, so it
# is built and packaged, and the fuzz targets run, beside them at the lowest
# priority: that work takes the processor time the Wine programs leave while
# they wait on each other and on the X server. Its output follows the Wine
# suites'. On the 32-bit path the product is the Wine suites' build itself.
background_log="$root/build/background.log"
if [ $WINE_BITS = 64 ]; then
    ( renice -n 19 -p $BASHPID >/dev/null; product_phase; packaging_phase; fuzz_phase ) >"$background_log" 2>&1 &
else
    product_phase
    packaging_phase
    ( renice -n 19 -p $BASHPID >/dev/null; fuzz_phase ) >"$background_log" 2>&1 &
fi
background_pid=$!

# ---------------------------------------------------------------- suite 2
wine_note=""
if [ $WINE_BITS = 64 ]; then
    log "Wine test build: $WINE_BUILD ($WINE_TOOLCHAIN)"
    t0=$(now)
    # Without debug information: it made every test program 20 MB and its link
    # the longest step of the build, and nobody reads it under Wine.
    configure_build "$WINE_BUILD" build-win64 -DCMAKE_TOOLCHAIN_FILE="$WINE_TOOLCHAIN" \
        -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 -DCMAKE_C_FLAGS_DEBUG=-O0 ||
        wine_note="build failed"
    wine_build_secs=$(( $(now) - t0 ))
else
    [ $product_ok = 1 ] || wine_note="build failed"
    wine_build_secs=0
fi

log "suite 2: GoogleTest under wine$WINE_BITS ($WINE_BUILD)"
t0=$(now)
run_ctest "$WINE_BUILD" suite2-wine -j"$JOBS" -LE '^e2e$'
[ -n "$wine_note" ] && CT_FAIL=$(( CT_FAIL + 1 ))
record 4 "suite 2 wine$WINE_BITS" "$CT_PASS" "$CT_FAIL" $(( $(now) - t0 + wine_build_secs )) \
    "(build ${wine_build_secs}s) $wine_note" "$CT_SKIP"

# ---------------------------------------------------------------- suite 3
log "suite 3: end-to-end under wine$WINE_BITS on Xvfb ($WINE_BUILD, label e2e)"
t0=$(now)
# Two at a time, each in a prefix and on a display of its own.
run_ctest "$WINE_BUILD" suite3-e2e -j"$JOBS" -L '^e2e$'
record 5 "suite 3 end-to-end" "$CT_PASS" "$CT_FAIL" $(( $(now) - t0 )) \
    "screenshots in $WINE_BUILD/e2e-out" "$CT_SKIP"

log "waiting for the work beside the Wine suites ($(basename "$background_log"))"
wait "$background_pid"
cat "$background_log"

echo
total_pass=0
total_fail=0
total_skip=0
{
    log "summary (wine$WINE_BITS; total $(( $(now) - t_start ))s)"
    sort -n "$records" | while IFS=$'\037' read -r _ name pass fail secs note skip; do
        printf '%-26s %4d tests  %4d passed  %4d failed  %3d skipped  %5ds  %s\n' \
            "$name" $(( pass + fail )) "$pass" "$fail" "$skip" "$secs" "$note"
    done
} | tee build/test-summary.txt
while IFS=$'\037' read -r _ _ pass fail _ _ skip; do
    total_pass=$(( total_pass + pass ))
    total_fail=$(( total_fail + fail ))
    total_skip=$(( total_skip + skip ))
done <"$records"
# A suite that never recorded itself (a crashed background shell) is a failure.
[ "$(wc -l <"$records")" -ge 6 ] || total_fail=$(( total_fail + 1 ))
echo "$total_pass passed, $total_fail failed, $total_skip skipped" | tee -a build/test-summary.txt
[ "$total_fail" = 0 ]

#!/usr/bin/env bash
# Builds the native code without sanitizers, optimised, in build/bench, and runs
# the item-store load benchmark.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build/bench}"
cmake -S "$here" -B "$build" -DPIVORA_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target pivora_bench >/dev/null
"$build/bin/pivora_bench"

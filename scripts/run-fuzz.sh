#!/usr/bin/env bash
# Builds the fuzzers with clang (libFuzzer, address and undefined behaviour
# sanitizers) and runs each for a while, seeded from the checked-in corpus
# and the test data. New inputs go to a working corpus in the build folder;
# a broken property or a sanitizer finding stops with the input saved there.
#   scripts/run-fuzz.sh [build folder] [seconds per fuzzer]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build-fuzz}
seconds=${2:-${FUZZ_SECONDS:-60}}
jobs=${JOBS:-$(nproc)}

CC=clang CXX=clang++ cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPW_FUZZ=ON >/dev/null
cmake --build "$build" --target fuzzers -j"$jobs"

declare -A seeds=(
    [showFile]=""
    [optionsFile]=""
    [bookmarkFile]="$top/tests/bookmarks/data"
    [webShowPage]=""
)
for property in showFile optionsFile bookmarkFile webShowPage; do
    work="$build/fuzz/work/$property"
    mkdir -p "$work" "$build/fuzz/findings"
    echo "== fuzz_$property for ${seconds}s"
    # shellcheck disable=SC2086
    "$build/fuzz/fuzz_$property" -max_total_time="$seconds" \
        -max_len=4096 -timeout=10 -artifact_prefix="$build/fuzz/findings/$property-" \
        "$work" "$top/fuzz/corpus/$property" ${seeds[$property]}
done
echo "No finding. New inputs: $build/fuzz/work (merge the telling ones into fuzz/corpus)."

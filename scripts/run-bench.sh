#!/usr/bin/env bash
# Runs every benchmark and prints its figures.
set -uo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)

# The remote-open figures need a display; the benchmarks share the tests'
# services.
# shellcheck source=test-env.sh
source "$here/test-env.sh"
trap test_env_stop EXIT
# Only the benchmark programs: CMake's bench_*_autogen folders match the
# same name and are executable as folders are.
status=0
for bench in "$build"/bench/bench_*; do
    [ -f "$bench" ] && [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    "$bench" || status=$?
done
exit $status

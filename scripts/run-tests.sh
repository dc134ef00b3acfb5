#!/usr/bin/env bash
# Runs the whole test suite (every label) with its services started.
set -uo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)

# shellcheck source=test-env.sh
source "$here/test-env.sh"
trap test_env_stop EXIT

ctest --test-dir "$build" --output-on-failure -j2 --timeout 300

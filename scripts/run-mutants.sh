#!/usr/bin/env bash
# Plants faults one at a time and reports the ones the tests miss (see
# scripts/mutants.py), with the test services started.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

# shellcheck source=test-env.sh
source "$here/test-env.sh"
trap test_env_stop EXIT

python3 "$here/mutants.py" "$@"

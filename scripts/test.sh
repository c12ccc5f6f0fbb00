#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds, and runs every test: the unit,
# end-to-end and key-storm tests of the release build, the whole suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer with headless renders from each third of the
# show, and the OBJ loader's fuzzer for a minute.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
# Compiles go through ccache: a second run on the same machine rebuilds only what changed, from
# whatever folder the checkout is in.
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$PWD"
cmake --preset release
cmake --build --preset release -j"$(nproc)"
ctest --preset release 2>&1 | tee build/release/ctest.log
bash scripts/sanitize.sh
bash scripts/fuzz-model.sh 60

# The release run's count as the closing line.
summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' build/release/ctest.log | tail -n 1)
total=$(echo "$summary" | sed -E 's/.* out of ([0-9]+).*/\1/')
failed=$(echo "$summary" | sed -E 's/.* ([0-9]+) tests failed.*/\1/')
echo "tests: $((total - failed)) passed, ${failed} failed"

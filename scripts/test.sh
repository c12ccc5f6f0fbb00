#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds, and runs every test: the unit,
# end-to-end and key-storm tests of the release build, the web build's tests in headless
# Chromium (label web), the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer with headless renders from each third of the show, and the OBJ
# loader's fuzzer for a minute.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
# Compiles go through ccache: a second run on the same machine rebuilds only what changed, from
# whatever folder the checkout is in.
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$PWD"
cmake --preset release
cmake --build --preset release -j"$(nproc)"
ctest --preset release 2>&1 | tee build/release/ctest.log
# The web build (its setup installs Emscripten, Chromium and the test driver of the committed
# lock file) and its tests, against the release build's programs. Emscripten's compiler goes
# without ccache.
env -u CMAKE_C_COMPILER_LAUNCHER -u CMAKE_CXX_COMPILER_LAUNCHER bash scripts/web.sh --build-only
ctest --test-dir build/web -L web --output-on-failure 2>&1 | tee build/web/ctest.log
bash scripts/sanitize.sh
bash scripts/fuzz-model.sh 60

# The release and web runs' counts as the closing line.
passed=0
failed=0
for log in build/release/ctest.log build/web/ctest.log; do
  summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  total=$(echo "$summary" | sed -E 's/.* out of ([0-9]+).*/\1/')
  failures=$(echo "$summary" | sed -E 's/.* ([0-9]+) tests failed.*/\1/')
  passed=$((passed + total - failures))
  failed=$((failed + failures))
done
echo "tests: ${passed} passed, ${failed} failed"

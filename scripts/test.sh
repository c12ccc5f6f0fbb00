#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds, and runs every test: the unit and
# end-to-end tests of the release build, then the OBJ loader's fuzzer for a minute.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset release
cmake --build --preset release -j"$(nproc)"
ctest --preset release
bash scripts/fuzz-model.sh 60

#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset release
cmake --build --preset release -j"$(nproc)"
ctest --preset release

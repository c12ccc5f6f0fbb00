#!/usr/bin/env bash
# Fuzzes the OBJ loader: builds tests/model/fuzz_obj_model.cpp with clang++ and libFuzzer
# (AddressSanitizer and UndefinedBehaviorSanitizer on) into build/fuzz/, then runs it for
# SECONDS (default 60) starting from the seed corpus tests/model/corpus/.
# Exits non-zero on any finding (crash, sanitizer report, leak, timeout, failed check);
# the input that caused it is left in build/fuzz/ as crash-*, leak-*, timeout-* or oom-*.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
  echo "usage: scripts/fuzz-model.sh [SECONDS]" >&2
  exit 2
fi

out=build/fuzz
mkdir -p "$out/corpus"
clang++ -std=c++20 -O1 -g -Wall -Wextra -I. \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer \
  tests/model/fuzz_obj_model.cpp model/obj_model.cpp \
  -o "$out/fuzz_obj_model"

# New inputs go to build/fuzz/corpus; the seeds in tests/model/corpus are only read.
"$out/fuzz_obj_model" \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
  -print_final_stats=1 -artifact_prefix="$out/" \
  "$out/corpus" tests/model/corpus

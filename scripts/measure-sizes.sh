#!/usr/bin/env bash
# Draws every reference clock at 800x600 and at larger sizes and compares: the larger frames
# box-filtered down to 800x600 against the 800x600 ones (mean and worst 16x16 block difference
# in levels), and their fine detail inside the open band against the 800x600 frame scaled up
# and, for a size whose double is measured too, against the double box-filtered to that size
# (bench_size_fidelity).
# Usage: scripts/measure-sizes.sh [SIZE ...]   (default: 1600x1200 2400x1800 3200x2400)
# Takes a few minutes; the frames stay in build/size-fidelity/.
set -euo pipefail
cd "$(dirname "$0")/.."
measure=build/release/bench/bench_size_fidelity
[ -x "$measure" ] || { echo "measure-sizes: build the release preset first" >&2; exit 1; }
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1600x1200 2400x1800 3200x2400)
out=build/size-fidelity
"$measure" render 800x600 "$out/800x600"
for size in "${sizes[@]}"; do
  "$measure" render "$size" "$out/$size"
done
for size in "${sizes[@]}"; do
  double=$((${size%x*} * 2))x$((${size#*x} * 2))
  [ -d "$out/$double" ] || double=
  echo "== $size against 800x600${double:+ and $double box-filtered}"
  "$measure" compare "$out/800x600" "$out/$size" ${double:+"$out/$double"} | tee "$out/$size.txt" |
    tail -n "$([ -n "$double" ] && echo 3 || echo 2)"
done

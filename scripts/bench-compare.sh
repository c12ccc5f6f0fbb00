#!/usr/bin/env bash
# Times two builds of vellomire-render against each other, scene by scene: runs their
# `--bench --csv` alternately (A, B, A, B, ...), takes the median of each scene's medians per
# build, and prints B's time over A's for every scene and for the whole show (weighted by scene
# length). Runs of one binary differ by several per cent on a busy machine; alternating spreads
# a change of load over both.
#
# Usage: scripts/bench-compare.sh A-BINARY B-BINARY [ROUNDS] [FRAMES] [SIZE]
#   ROUNDS  alternations (default 3), FRAMES frames per scene (default 30),
#   SIZE    the picture size given to --size (default 800x600)
set -euo pipefail
cd "$(dirname "$0")/.."
a=$1
b=$2
rounds=${3:-3}
frames=${4:-30}
size=${5:-800x600}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for round in $(seq "$rounds"); do
    for side in a b; do
        binary=$a
        [ "$side" = b ] && binary=$b
        "$binary" --bench --csv --bench-frames "$frames" --size "$size" >"$work/$side-$round.csv"
        echo "round $round: $side done" >&2
    done
done
python3 - "$work" "$rounds" "$size" <<'PY'
import csv, statistics, sys
work, rounds, size = sys.argv[1], int(sys.argv[2]), sys.argv[3]
# Seconds each scene lasts in the show, in timeline order (the next rule's start, or 287).
starts = [0, 25, 50, 73, 90, 106, 123, 139, 156, 171, 190, 203, 222, 243, 254, 287]
def medians(side):
    runs = []
    for r in range(1, rounds + 1):
        with open(f"{work}/{side}-{r}.csv") as f:
            runs.append([(int(row["scene"]), float(row["median_ms"])) for row in csv.DictReader(f)])
    return [(runs[0][i][0], statistics.median(run[i][1] for run in runs)) for i in range(len(runs[0]))]
a, b = medians("a"), medians("b")
print(f"picture {size}, {rounds} alternations, medians of the runs' medians (ms per frame)")
print(f"{'scene':>5} {'A ms':>8} {'B ms':>8} {'B/A':>6}")
weighted_a = weighted_b = 0.0
for i, ((scene, ta), (_, tb)) in enumerate(zip(a, b)):
    seconds = starts[i + 1] - starts[i]
    weighted_a += ta * seconds
    weighted_b += tb * seconds
    print(f"{scene:>5} {ta:8.2f} {tb:8.2f} {tb / ta:6.3f}")
print(f"whole show {weighted_a / 287:8.2f} {weighted_b / 287:8.2f} {weighted_b / weighted_a:6.3f}")
PY

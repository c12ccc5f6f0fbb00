#!/usr/bin/env bash
# Memcheck over a short headless render: the whole start-up, then frames of a span of the show
# with a GL error check after each. Fails on any invalid read or write, any use of an
# uninitialised value, and any definite leak. Errors inside the Mesa driver and its LLVM are
# suppressed (scripts/valgrind-suppressions.supp); this program's own frames never are.
#
# Slow (the GL driver runs under the emulator): opt-in, not part of CI.
#
# Usage: scripts/valgrind-render.sh [FROM [SECONDS [FPS]]]
#   defaults: 140 s (the metaball scene, the most code of ours per frame), 5 s, 2 fps.
#   BUILD_DIR=build/debug picks another build (default build/release; it is built if needed).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
from=${1:-140}
span=${2:-5}
fps=${3:-2}
build=${BUILD_DIR:-build/release}
tool=$build/render_tool/vellomire-render

if [ ! -x "$tool" ]; then
    preset=$(basename "$build")
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j"${JOBS:-2}" --target vellomire-render
fi

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
to=$(awk -v a="$from" -v b="$span" 'BEGIN { print a + b }')
started=$SECONDS
status=0
# llvmpipe on the calling thread only: its worker threads add nothing but noise and time.
LP_NUM_THREADS=0 SDL_AUDIODRIVER=dummy valgrind --tool=memcheck --error-exitcode=99 \
    --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
    --track-origins=no --num-callers=30 \
    --suppressions="$repo/scripts/valgrind-suppressions.supp" \
    --log-file="$out/memcheck.log" \
    "$tool" --from "$from" --to "$to" --fps "$fps" --check-gl --out "$out/frames/" \
    >"$out/render.log" 2>&1 || status=$?
took=$((SECONDS - started))

grep -E 'ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|suppressed:' \
    "$out/memcheck.log" | sed 's/^==[0-9]*== //'
echo "memcheck over $from-$to s at $fps fps took $took s"
if [ $status -ne 0 ]; then
    cat "$out/render.log"
    cat "$out/memcheck.log"
    echo "FAIL: status $status (99: memcheck found errors)" >&2
    exit 1
fi
frames=$(find "$out/frames" -name '*.png' | wc -l)
expected=$(awk -v s="$span" -v f="$fps" 'BEGIN { printf "%d", s * f }')
[ "$frames" -eq "$expected" ] || {
    cat "$out/render.log"
    echo "FAIL: $frames frames written, $expected expected" >&2
    exit 1
}
echo "ok: no memory error or definite leak in $frames frames"

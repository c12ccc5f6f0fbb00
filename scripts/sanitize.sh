#!/usr/bin/env bash
# The sanitizer run for CI: builds the asan preset (AddressSanitizer + UndefinedBehaviorSanitizer,
# every report fatal), runs the whole test suite in it except the tests that need an X server
# (labels e2e and storm), then renders a 20 s span from each third of the show headless with a
# GL error check after every frame. Any sanitizer report, leak or GL error fails the run.
#
# Leaks are checked by LeakSanitizer; the only ones suppressed come from system libraries
# (scripts/lsan-suppressions.txt), never from this program.
#
# Usage: scripts/sanitize.sh [--no-build]
#   JOBS=N sets the build's parallel jobs (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
started=$SECONDS

if [ "${1:-}" != --no-build ]; then
    cmake --preset asan
    cmake --build --preset asan -j"${JOBS:-2}"
fi
built=$SECONDS

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1
export LSAN_OPTIONS=suppressions=$repo/scripts/lsan-suppressions.txt:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export SDL_AUDIODRIVER=dummy

ctest --preset asan -LE 'e2e|storm'
tested=$SECONDS

# Headless renders at 2 frames per second: one span from each third of the show.
tool=build/asan/render_tool/vellomire-render
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for span in "30 50" "120 140" "230 250"; do
    set -- $span
    echo "rendering $1-$2 s under the sanitizers with GL error checks"
    log=$out/render-$1.log
    status=0
    "$tool" --from "$1" --to "$2" --fps 2 --check-gl --out "$out/frames-$1/" >"$log" 2>&1 ||
        status=$?
    if [ $status -ne 0 ] || grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$log"; then
        cat "$log"
        echo "FAIL: the render of $1-$2 s (status $status)" >&2
        exit 1
    fi
    frames=$(find "$out/frames-$1" -name '*.png' | wc -l)
    [ "$frames" -eq $((($2 - $1) * 2)) ] || {
        cat "$log"
        echo "FAIL: the render of $1-$2 s wrote $frames frames" >&2
        exit 1
    }
done
rendered=$SECONDS

echo "sanitizer run passed: build $((built - started)) s, tests $((tested - built)) s," \
    "renders $((rendered - tested)) s, total $((rendered - started)) s"

#!/usr/bin/env bash
# The sanitizer run for CI: builds the asan preset (AddressSanitizer + UndefinedBehaviorSanitizer,
# every report fatal), runs the whole test suite in it except the tests that need an X server
# (labels e2e and storm), runs the real program under Xvfb to the end of the show five times,
# then renders a 20 s span from each third of the show headless with a GL error check after
# every pass of every frame. Any sanitizer report, leak or GL error fails the run.
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
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The real program under Xvfb to the natural end of the show (Up held until the clock passes
# 287 s), five times: the program ends while its sound plays, so the sound's thread must be
# stopped before anything it reads is freed. The window's teardown would unload the GL driver,
# and the leak checker would count what the driver's globals held as leaked: the driver is
# kept loaded (preloaded after the sanitizer runtime, which must come first). GTK's
# accessibility bridge is left out: finding no accessibility bus (none runs under Xvfb), it
# loses two strings, and the leak checker's quick stack walk stops in GLib's allocator, too
# shallow for a suppression that names the bridge.
drivers=(/usr/lib/*/dri/swrast_dri.so)
driver=${drivers[0]}
program=$out/vellomire
runtime=$(ldd build/asan/shell/vellomire | awk '/libasan/ { print $3 }')
printf '#!/bin/sh\nNO_AT_BRIDGE=1 LD_PRELOAD="%s %s" exec %s\n' "$runtime" "$driver" \
    "$repo/build/asan/shell/vellomire" >"$program"
chmod +x "$program"
for run in 1 2 3 4 5; do
    echo "the show's end under the sanitizers, run $run"
    bash tests/shell/e2e.sh show_end "$program" || {
        echo "FAIL: the show's end under the sanitizers, run $run" >&2
        exit 1
    }
done
ended=$SECONDS

# Headless renders at 2 frames per second: one span from each third of the show.
tool=build/asan/render_tool/vellomire-render
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
    "show ends $((ended - tested)) s, renders $((rendered - ended)) s," \
    "total $((rendered - started)) s"

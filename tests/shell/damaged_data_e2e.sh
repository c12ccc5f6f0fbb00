#!/usr/bin/env bash
# The real program under Xvfb with openbox, started from a directory whose data/ folder has
# one kind of damage: it must show its window, draw for a few seconds and exit 0 on Escape.
# Usage: damaged_data_e2e.sh CASE PATH/TO/vellomire
# Cases: missing_track missing_particle missing_butterfly missing_font missing_model
#        track_random model_random texture_directory
# The damaged folder is a copy of the repository's data/ when it is complete, and otherwise a
# small stand-in (a 3 s tone, plain PNG textures, a one-quad model) made here.
set -u

case_name=$1
program=$2
repo=$(cd "$(dirname "$0")/../.." && pwd)
export SDL_AUDIODRIVER=dummy

fail() {
    echo "FAIL [damaged data: $case_name]: $*" >&2
    exit 1
}

if [ -z "${VELLOMIRE_E2E_INSIDE:-}" ]; then
    export VELLOMIRE_E2E_INSIDE=1
    exec timeout 60 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d)
# shellcheck source=tests/shell/x_session.sh
source "$(dirname "$0")/x_session.sh"
start_window_manager
program_pid=
cleanup() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null
    fi
    kill "$wm" 2>/dev/null
    chmod -R u+rwx "$work" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

files=(music/track.mp3 textures/particle.png textures/butterfly.png textures/font.png
    3d/torus.obj)

# A data folder in $work/show/data: the repository's, or the stand-in.
make_data() {
    local data=$work/show/data complete=1 file
    for file in "${files[@]}"; do
        [ -f "$repo/data/$file" ] || complete=0
    done
    mkdir -p "$work/show"
    if [ $complete -eq 1 ]; then
        cp -r "$repo/data" "$data"
        return
    fi
    mkdir -p "$data/music" "$data/textures" "$data/3d"
    cp "$repo/tests/fixtures/tone.mp3" "$data/music/track.mp3"
    cp "$repo/tests/model/corpus/textured_quad.obj" "$data/3d/torus.obj"
    for file in particle butterfly; do
        ffmpeg -loglevel error -f lavfi -i "color=white:s=64x64" -frames:v 1 -pix_fmt rgba \
            "$data/textures/$file.png" || fail "cannot make a stand-in texture"
    done
    ffmpeg -loglevel error -f lavfi -i "color=gray:s=256x256" -frames:v 1 -pix_fmt rgba \
        "$data/textures/font.png" || fail "cannot make a stand-in font"
}

# Overwrites file $1 with as many random bytes as it holds (fixed seed, same every run).
random_bytes() {
    local size
    size=$(stat -c %s "$1")
    openssl enc -aes-128-ctr -pass pass:vellomire -nosalt -pbkdf2 </dev/zero 2>/dev/null |
        head -c "$size" >"$1.tmp"
    [ "$(stat -c %s "$1.tmp")" -eq "$size" ] || head -c "$size" /dev/urandom >"$1.tmp"
    mv "$1.tmp" "$1"
}

make_data
data=$work/show/data
case "$case_name" in
missing_track) rm "$data/music/track.mp3" ;;
missing_particle) rm "$data/textures/particle.png" ;;
missing_butterfly) rm "$data/textures/butterfly.png" ;;
missing_font) rm "$data/textures/font.png" ;;
missing_model) rm "$data/3d/torus.obj" ;;
track_random) random_bytes "$data/music/track.mp3" ;;
model_random) random_bytes "$data/3d/torus.obj" ;;
texture_directory)
    rm "$data/textures/particle.png"
    mkdir "$data/textures/particle.png"
    ;;
*) fail "unknown case" ;;
esac

press() { # window, key: tapped as a user taps it
    xdotool windowactivate --sync "$1" >/dev/null 2>&1
    xdotool key "$2"
}

cd "$work/show" || fail "no show directory"
"$program" >"$work/out" 2>&1 &
program_pid=$!
dialog=$(wait_window "Vellomire Settings" 10) || fail "no dialog"
press "$dialog" Return
window=$(wait_window "Vellomire Engine" 10) || { cat "$work/out"; fail "no window"; }
sleep 3
kill -0 "$program_pid" 2>/dev/null || { cat "$work/out"; fail "ended before Escape"; }
press "$window" Escape
deadline=$((SECONDS + 10))
while kill -0 "$program_pid" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "still running 10 s after Escape"
    sleep 0.2
done
wait "$program_pid"
status=$?
program_pid=
cat "$work/out"
[ $status -eq 0 ] || fail "exit status $status"
echo "ok: damaged data ($case_name) -> window, Escape, status 0"

#!/usr/bin/env bash
# End-to-end checks of the real program under Xvfb with openbox, driven with xdotool.
# Usage: e2e.sh CASE PATH/TO/vellomire PATH/TO/shell_picture_probe
# Run from the repository root, whose data/ the program reads (installed_from_home installs the
# program into a temporary prefix and starts it from $HOME instead).
set -u

case_name=$1
program=$2
probe=$3
export SDL_AUDIODRIVER=dummy
screen_w=1280
screen_h=1024

fail() {
    echo "FAIL [$case_name]: $*" >&2
    exit 1
}

# The case without a display runs outside Xvfb.
if [ "$case_name" = no_display ]; then
    out=$(mktemp)
    env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$program" >"$out" 2>&1
    status=$?
    cat "$out"
    [ $status -ne 124 ] || fail "hung without a display"
    [ $status -ne 0 ] || fail "exited 0 without a display"
    grep -q "no display" "$out" || fail "did not say that there is no display"
    echo "ok: no display -> status $status"
    exit 0
fi

# Re-run inside a fresh X server.
if [ -z "${VELLOMIRE_E2E_INSIDE:-}" ]; then
    export VELLOMIRE_E2E_INSIDE=1
    exec timeout 80 xvfb-run -a -s "-screen 0 ${screen_w}x${screen_h}x24" "$0" "$@"
fi

work=$(mktemp -d)
# shellcheck source=tests/shell/x_session.sh
source "$(dirname "$0")/x_session.sh"
start_window_manager
program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    kill "$wm" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
sleep 0.5

start_program() {
    "$program" >"$work/out" 2>&1 &
    program_pid=$!
}

# Waits up to $2 seconds for a visible window titled exactly $1; prints its id.
# Waits up to $2 seconds for a window titled "Vellomire Engine" other than window $1.
wait_new_window() {
    local deadline=$((SECONDS + $2)) id
    while [ $SECONDS -lt $deadline ]; do
        for id in $(xdotool search --onlyvisible --name '^Vellomire Engine$' 2>/dev/null); do
            if [ "$id" != "$1" ]; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.2
    done
    return 1
}

# Waits up to $1 seconds for the program to end; sets `status`.
wait_exit() {
    local deadline=$((SECONDS + $1))
    while [ $SECONDS -lt $deadline ]; do
        if ! kill -0 "$program_pid" 2>/dev/null; then
            wait "$program_pid"
            status=$?
            program_pid=
            return 0
        fi
        sleep 0.2
    done
    return 1
}

expect_exit_zero() {
    wait_exit "$1" || fail "still running after $1 s"
    [ "$status" -eq 0 ] || { cat "$work/out"; fail "exit status $status"; }
}

# Taps keys one after the other in window $1 as a user does, with `xdotool key`: each pressed
# and released a few milliseconds apart, so that both usually reach the program between two of
# its frames.
press() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1
    xdotool key "${@:2}"
}

dialog_ok() { # presses OK (with the FullScreen box checked when $1 is "full")
    local dialog
    dialog=$(wait_window "Vellomire Settings" 10) || fail "no dialog"
    if [ "${1:-}" = full ]; then
        press "$dialog" space Return # the box has the focus first
    else
        press "$dialog" Return
    fi
}

screenshot() { # -> $work/screen.rgb
    ffmpeg -loglevel error -y -f x11grab -video_size ${screen_w}x${screen_h} -i "$DISPLAY" \
        -frames:v 1 -f rawvideo -pix_fmt rgb24 "$work/screen.rgb" || fail "no screenshot"
}

# Client area of a window: sets cx cy cw ch.
client_geometry() {
    local info
    info=$(xwininfo -id "$1") || fail "no geometry"
    cx=$(echo "$info" | awk '/Absolute upper-left X/ {print $4}')
    cy=$(echo "$info" | awk '/Absolute upper-left Y/ {print $4}')
    cw=$(echo "$info" | awk '/Width:/ {print $2}')
    ch=$(echo "$info" | awk '/Height:/ {print $2}')
}

# Share of non-black pixels of each rectangle of the last screenshot.
lit() {
    "$probe" "$work/screen.rgb" $screen_w $screen_h "$@" || fail "probe failed"
}

# Checks that the margins are black and the picture is not: $1 $2 $3 $4 = picture rectangle,
# then margin rectangles.
check_letterbox() {
    local picture=$1 shares share
    shift
    share=$(lit "$picture")
    echo "picture $picture: $share lit"
    awk -v s="$share" 'BEGIN { exit !(s > 0.2) }' || fail "picture looks empty ($share)"
    for margin in "$@"; do
        share=$(lit "$margin")
        echo "margin $margin: $share lit"
        awk -v s="$share" 'BEGIN { exit !(s < 0.01) }' || fail "margin $margin not black"
    done
}

case "$case_name" in
escape)
    # Twenty starts, each ended by one Escape tap: at once when the window appears (the tap
    # reaches the show while it starts) or a little later (while it draws).
    for run in $(seq 20); do
        start_program
        dialog_ok
        window=$(wait_window "Vellomire Engine" 10) || fail "no window in run $run"
        sleep "0.$((run % 2 * 4))"
        press "$window" Escape
        expect_exit_zero 10
    done
    ;;
dialog_exit)
    # Ended by a click on "Exit", then by closing the dialog through the window manager.
    for way in click alt+F4; do
        start_program
        dialog=$(wait_window "Vellomire Settings" 10) || fail "no dialog"
        press "$dialog" Escape # does nothing
        sleep 0.5
        kill -0 "$program_pid" 2>/dev/null || fail "Escape ended the dialog"
        if [ $way = click ]; then # "Exit" is the lowest control, its middle 35 px above the edge
            eval "$(xdotool getwindowgeometry --shell "$dialog")"
            xdotool mousemove --window "$dialog" $((WIDTH / 2)) $((HEIGHT - 35)) click 1
        else
            press "$dialog" $way
        fi
        expect_exit_zero 5
        if grep -q "File Not Found" "$work/out"; then fail "the show started ($way)"; fi
    done
    ;;
show_end)
    start_program
    dialog_ok
    window=$(wait_window "Vellomire Engine" 10) || fail "no window"
    # As in press: a failed activation (the window manager busy) must not drop the key.
    xdotool windowactivate --sync "$window" >/dev/null 2>&1
    xdotool keydown Up
    expect_exit_zero 30
    xdotool keyup Up
    ;;
f1_twice)
    start_program
    dialog_ok full
    window=$(wait_window "Vellomire Engine" 10) || fail "no window"
    client_geometry "$window"
    [ "$cw" -eq $screen_w ] && [ "$ch" -eq $screen_h ] || fail "full screen is ${cw}x${ch}"
    for round in 1 2; do
        press "$window" F1
        window=$(wait_new_window "$window" 10) || fail "no new window after F1 number $round"
        kill -0 "$program_pid" 2>/dev/null || fail "ended after F1 number $round"
    done
    sleep 2
    client_geometry "$window"
    echo "window after two toggles: ${cw}x${ch}+${cx}+${cy}"
    [ "$cw" -eq $screen_w ] && [ "$ch" -eq $screen_h ] || fail "not full screen again"
    screenshot
    # 1280 x 1024 shows the 4:3 picture as 1280 x 960 with 32-row bars above and below.
    check_letterbox "0,32,1280,960" "0,0,1280,30" "0,994,1280,30"
    press "$window" Escape
    expect_exit_zero 10
    ;;
f1_taps)
    # Twenty F1 taps: each switches exactly once between an ordinary window with an
    # 800 x 600 client area and full screen.
    start_program
    dialog_ok
    window=$(wait_window "Vellomire Engine" 10) || fail "no window"
    for round in $(seq 20); do
        press "$window" F1
        window=$(wait_new_window "$window" 10) || fail "no new window after F1 tap $round"
        client_geometry "$window"
        if [ $((round % 2)) -eq 1 ]; then want="${screen_w}x${screen_h}"; else want=800x600; fi
        [ "${cw}x${ch}" = "$want" ] || fail "after F1 tap $round the window is ${cw}x${ch}, not $want"
    done
    press "$window" Escape
    expect_exit_zero 10
    ;;
resize)
    start_program
    dialog_ok
    window=$(wait_window "Vellomire Engine" 10) || fail "no window"
    xdotool windowsize --sync "$window" 1000 500
    sleep 2
    client_geometry "$window"
    echo "resized client: ${cw}x${ch}+${cx}+${cy}"
    [ "$cw" -eq 1000 ] && [ "$ch" -eq 500 ] || fail "client is ${cw}x${ch}"
    screenshot
    # 1000 x 500 shows the picture as 667 x 500 with 166-column bars left and right.
    check_letterbox "$((cx + 166)),$cy,667,500" "$cx,$cy,164,500" "$((cx + 835)),$cy,164,500"
    press "$window" Escape
    expect_exit_zero 10
    ;;
minimise)
    start_program
    dialog_ok
    window=$(wait_window "Vellomire Engine" 10) || fail "no window"
    sleep 1
    cpu_ticks() { awk '{print $14 + $15}' "/proc/$program_pid/stat"; }
    busy_start=$(cpu_ticks)
    sleep 2
    busy=$(($(cpu_ticks) - busy_start))
    xdotool windowminimize --sync "$window"
    sleep 0.5
    idle_start=$(cpu_ticks)
    sleep 2
    idle=$(($(cpu_ticks) - idle_start))
    echo "CPU ticks in 2 s: drawing $busy, minimised $idle"
    [ "$idle" -lt 20 ] || fail "draws or spins while minimised ($idle ticks)"
    xdotool windowactivate --sync "$window" >/dev/null 2>&1 || xdotool windowmap "$window"
    sleep 1
    kill -0 "$program_pid" 2>/dev/null || fail "ended while minimised"
    screenshot
    client_geometry "$window"
    check_letterbox "$cx,$cy,$cw,$ch"
    press "$window" Escape
    expect_exit_zero 10
    ;;
installed_from_home)
    # Installed into a prefix of its own and started from $HOME, which holds no data/.
    cmake --install "$(dirname "$program")/.." --prefix "$work/prefix" >/dev/null ||
        fail "cannot install"
    program=$work/prefix/bin/vellomire
    cd "$HOME" || fail "no home"
    start_program
    dialog_ok
    window=$(wait_window "Vellomire Engine" 10) || fail "no window"
    sleep 2
    screenshot
    client_geometry "$window"
    check_letterbox "$cx,$cy,$cw,$ch"
    press "$window" Escape
    expect_exit_zero 10
    if grep -q "show's files\|File Not Found" "$work/out"; then fail "no data: $(cat "$work/out")"; fi
    ;;
*)
    fail "unknown case"
    ;;
esac
echo "ok: $case_name"

#!/usr/bin/env bash
# End-to-end checks of the real program under Xvfb with openbox, driven with xdotool as a user
# drives it. Usage: e2e.sh CASE PATH/TO/vellomire, from the repository root, whose data/ the
# program reads. Cases: no_display dialog_exit escape f1 window no_window alt_release
# show_end damaged_data controls.
set -u

case_name=$1
program=$(realpath "$2")
export SDL_AUDIODRIVER=dummy
screen_w=1280
screen_h=1024

fail() { echo "FAIL [$case_name]: $*" >&2; exit 1; }

if [ "$case_name" = no_display ]; then
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$program" 2>&1)
    status=$?
    [ $status -eq 255 ] || fail "exit status $status without a display, not 255 (-1): $out"
    grep -q "^vellomire: cannot open a window: no display" <<<"$out" &&
        grep -q "^vellomire: Error: Error Registering Window Class!$" <<<"$out" ||
        fail "the messages do not say that there is no display: $out"
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
trap 'kill $program_pid $wm ${spy:-} 2>/dev/null; rm -rf "$work"' EXIT

alive() { kill -0 "$program_pid" 2>/dev/null || fail "ended $*: $(cat "$work/out")"; }

# Waits up to $1 seconds for the program to end and checks that it ended with status 0.
expect_exit_zero() {
    local deadline=$((SECONDS + $1)) status=0
    while kill -0 "$program_pid" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || fail "still running after $1 s"
        sleep 0.2
    done
    wait "$program_pid" || status=$?
    program_pid=
    [ $status -eq 0 ] || fail "exit status $status: $(cat "$work/out")"
}

# Taps keys in window $1 as a user does, with `xdotool key`: each pressed and released a few
# milliseconds apart, so that both usually reach the program between two of its frames.
press() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1
    xdotool key "${@:2}"
}

# Starts the program (with the options in $program_options), presses OK in its dialog (with
# FullScreen ticked first when $1 is "full") and waits for the show's window, whose id it
# leaves in $window.
program_options=()
start_show_dialog() {
    local keys=Return dialog
    [ "${1:-}" = full ] && keys="space Return" # the box has the focus first
    "$program" "${program_options[@]}" >"$work/out" 2>&1 &
    program_pid=$!
    dialog=$(wait_window "Vellomire Settings" 10) || fail "no dialog"
    press "$dialog" $keys
}
start_show() {
    start_show_dialog "$@"
    window=$(wait_window "Vellomire Engine" 10) || fail "no window"
}

client_geometry() { # of window $1: sets cx cy cw ch
    read -r cx cy cw ch < <(xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4}
        /Absolute upper-left Y/ {y = $4} /Width:/ {w = $2} /Height:/ {h = $2} END {print x, y, w, h}')
}

# Window $1 as WIDTHxHEIGHT of its client area, followed by " full" in the full-screen state.
mode_of() {
    client_geometry "$1"
    echo "${cw}x${ch}$(xprop -id "$1" _NET_WM_STATE | grep -q FULLSCREEN && echo ' full')"
}

# Checks that the screen's rectangle "X Y W H" $1 shows the picture (over a fifth of its pixels
# lit: above a dark grey) within five seconds, and that the rectangles after it are black
# margins (under 1% lit).
check_picture() {
    local kind=picture rect share tries=10
    for rect in "$@"; do
        set -- $rect
        while share=$(ffmpeg -loglevel error -f x11grab -video_size "${3}x$4" -grab_x "$1" \
            -grab_y "$2" -i "$DISPLAY" -frames:v 1 -f rawvideo \
            -vf "format=gray,lut=y='gt(val,32)*255',scale=1:1:flags=area" - | od -An -tu1 | tr -d ' ')
            [ $kind = picture ] && [ "${share:-0}" -le 51 ] && [ $((tries -= 1)) -gt 0 ]; do
            sleep 0.5
        done
        echo "$kind $rect: $share/255 lit"
        if [ $kind = picture ]; then
            [ "${share:-0}" -gt 51 ] || fail "the picture at $rect looks empty"
        else
            [ "${share:-255}" -le 2 ] || fail "the margin at $rect is not black"
        fi
        kind=margin
    done
}

# Screenshot of window $1's client area (without the pointer) into $2.
shot() {
    client_geometry "$1"
    ffmpeg -loglevel error -y -f x11grab -draw_mouse 0 -video_size "${cw}x$ch" -grab_x "$cx" \
        -grab_y "$cy" -i "$DISPLAY" -frames:v 1 "$2" || fail "no screenshot"
}

# Compares the rows [$3, $4) of pictures $1 and $2: prints the mean difference of their
# colour values and the number of pixels that differ at all.
compare_rows() {
    python3 - "$@" <<'PY'
import subprocess, sys
def rgb(path):
    out = subprocess.run(["ffmpeg", "-loglevel", "error", "-i", path, "-f", "rawvideo",
                          "-pix_fmt", "rgb24", "-"], check=True, capture_output=True).stdout
    return out
a, b, top, bottom = rgb(sys.argv[1]), rgb(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
width = 800 * 3
a, b = a[top * width:bottom * width], b[top * width:bottom * width]
total = sum(abs(x - y) for x, y in zip(a, b))
differing = sum(1 for i in range(0, len(a), 3) if a[i:i + 3] != b[i:i + 3])
print(f"{total / max(len(a), 1):.3f} {differing}")
PY
}

# Compares screenshot $1 with the frame vellomire-render draws at clock $2 over the rows [$3, $4)
# (every row by default), setting mean and differing as compare_rows prints them.
against_frame() {
    "$(dirname "$program")/../render_tool/vellomire-render" --at "$2" --out "$work/frame_$2.png" \
        >/dev/null || fail "no frame at $2"
    read -r mean differing < <(compare_rows "$1" "$work/frame_$2.png" "${3:-0}" "${4:-600}")
}

# Whether two screenshots of window $1, 1 s apart, are identical; the second is left in $2.
holds_still() {
    shot "$1" "$work/still.png"
    sleep 1
    shot "$1" "$2"
    cmp -s "$work/still.png" "$2"
}

case "$case_name" in
controls)
    # The viewer's keys and the strip, tapped and clicked as a user does, in an 800 x 600
    # window that shows the 800 x 600 picture pixel for pixel.
    start_show
    sleep 2
    xdotool mousemove 0 0 # the pointer away from the window
    press "$window" space
    sleep 0.5
    holds_still "$window" "$work/held2.png" || fail "the picture moves while paused"
    echo "paused: two screenshots 1 s apart are identical"
    press "$window" space
    sleep 1
    shot "$window" "$work/resumed.png"
    cmp -s "$work/held2.png" "$work/resumed.png" && fail "the picture holds after Space again"
    echo "resumed: the picture moves again"
    # Paused at the start, then four cuts on (25, 50, 73, 90 s): the lattice cube, under a
    # black-out that ends at 92 s. The clouds of scene 0 drift with every frame drawn, and the
    # morph of scene 5 starts from where they drifted: the pictures compared are of other scenes.
    press "$window" space Home
    press "$window" Next Next Next Next
    for _ in $(seq 10); do holds_still "$window" "$work/cut.png" && break; done
    against_frame "$work/cut.png" 90.001
    echo "four Page Down taps from Home: against vellomire-render --at 90.001: mean" \
        "difference $mean, $differing pixels differ"
    [ "$differing" -eq 0 ] || fail "Page Down does not land on the cut at 90 s"
    # One step onto the grid (90.033), then thirty at a time: exactly one second on each time.
    press "$window" period
    for second in 91 92; do
        # shellcheck disable=SC2046
        press "$window" $(printf 'period %.0s' $(seq 30))
        # Every step draws its frame (and the frames that prime it): wait until all are drawn.
        for _ in $(seq 10); do holds_still "$window" "$work/steps.png" && break; done
        for clock in $second.000 $second.033 $second.066; do
            against_frame "$work/steps.png" $clock
            echo "thirty period taps more: against vellomire-render --at $clock: $differing" \
                "pixels differ (mean difference $mean)"
            if [ $clock = $second.033 ]; then
                [ "$differing" -eq 0 ] || fail "the steps did not land on $clock"
            else
                [ "$differing" -ne 0 ] || fail "the steps landed on $clock"
            fi
        done
    done
    # F1 while paused: full screen holds the same frame (two screenshots 1 s apart identical),
    # and F1 back shows the window's frame at the paused clock exactly as before.
    press "$window" F1
    window=$(wait_window "Vellomire Engine" 10 "$window") || fail "no new window after F1"
    sleep 0.5
    holds_still "$window" "$work/full2.png" || fail "F1 ended the pause"
    press "$window" F1
    window=$(wait_window "Vellomire Engine" 10 "$window") || fail "no new window after F1 back"
    sleep 0.5
    shot "$window" "$work/back.png"
    read -r mean differing < <(compare_rows "$work/steps.png" "$work/back.png" 0 600)
    echo "F1 twice while paused: full screen held still, the window's frame $differing pixels off"
    [ "$differing" -eq 0 ] || fail "F1 and back while paused changed the frame"
    # H while paused: the bottom bar (rows 425 to 600) shows the line, the rest is unchanged.
    press "$window" h
    sleep 1
    shot "$window" "$work/hud.png"
    read -r mean above < <(compare_rows "$work/steps.png" "$work/hud.png" 0 425)
    read -r bar lit < <(compare_rows "$work/steps.png" "$work/hud.png" 425 600)
    echo "H: $above pixels changed above the bottom bar, $lit in it (mean difference $bar)"
    [ "$above" -eq 0 ] || fail "H changed the picture above the bottom bar"
    [ "$lit" -gt 2000 ] || fail "H shows no line in the bottom bar"
    cp "$work/hud.png" "${VELLOMIRE_E2E_SHOT:-$work/hud_kept.png}"
    press "$window" h
    # A click on the middle of the strip (the strip lies in the bar, under the line): the
    # picture is then nearest to the show's middle (143.5 s) among clocks around it.
    xdotool mousemove --window "$window" 400 535 click 1
    sleep 1
    shot "$window" "$work/click.png"
    best= best_mean=
    for clock in 133.5 139.5 141.5 143.5 145.5 147.5 153.5; do
        against_frame "$work/click.png" $clock 175 425
        echo "click on the strip's middle: against --at $clock: mean difference $mean"
        if [ -z "$best" ] || python3 -c "import sys; sys.exit(not $mean < $best_mean)"; then
            best=$clock best_mean=$mean
        fi
    done
    [ "$best" = 143.5 ] || fail "the click landed nearest $best s, not the middle"
    press "$window" Escape
    expect_exit_zero 10
    ;;
dialog_exit)
    # Ended by a click on "Exit", then by closing the dialog through the window manager.
    for way in click alt+F4; do
        "$program" >"$work/out" 2>&1 &
        program_pid=$!
        dialog=$(wait_window "Vellomire Settings" 10) || fail "no dialog"
        press "$dialog" Escape # does nothing
        sleep 0.5
        alive "on Escape in the dialog"
        # Every window the window manager takes on from now on, which must be none but the dialog.
        xprop -root -spy _NET_CLIENT_LIST >"$work/clients" 2>&1 &
        spy=$!
        until [ -s "$work/clients" ]; do sleep 0.1; done
        if [ $way = click ]; then # "Exit" is the lowest control, its middle 35 px above the edge
            eval "$(xdotool getwindowgeometry --shell "$dialog")"
            xdotool mousemove --window "$dialog" $((WIDTH / 2)) $((HEIGHT - 35)) click 1
        else
            press "$dialog" $way
        fi
        sleep 1
        kill "$spy" 2>/dev/null
        grep -o '0x[0-9a-f]*' "$work/clients" | grep -vx "$(printf '0x%x' "$dialog")" &&
            fail "a window appeared after $way"
        expect_exit_zero 5
    done
    ;;
escape)
    # Twenty starts, each ended by one Escape tap: at once when the window appears (the tap
    # reaches the show while it starts) or a little later (while it draws).
    for run in $(seq 20); do
        start_show
        sleep "0.$((run % 2 * 4))"
        press "$window" Escape
        expect_exit_zero 10
    done
    ;;
f1)
    # Started in full screen; twenty F1 taps each switch exactly once between full screen and
    # an ordinary window with an 800 x 600 client area. The picture is drawn at the window's
    # size, so every switch also changes the picture's size (1280 x 960 and 800 x 600).
    program_options=(--size native)
    start_show full
    full="${screen_w}x${screen_h} full"
    [ "$(mode_of "$window")" = "$full" ] || fail "FullScreen ticked: $(mode_of "$window")"
    for tap in $(seq 20); do
        press "$window" F1
        window=$(wait_window "Vellomire Engine" 10 "$window") || fail "no new window after F1 tap $tap"
        want=$full
        [ $((tap % 2)) -eq 1 ] && want=800x600
        [ "$(mode_of "$window")" = "$want" ] || fail "after F1 tap $tap: $(mode_of "$window"), not $want"
    done
    # 1280 x 1024 shows the 4:3 picture as 1280 x 960 with 32-row bars above and below.
    check_picture "0 32 1280 960" "0 0 1280 30" "0 994 1280 30"
    press "$window" Escape
    expect_exit_zero 10
    ;;
window)
    # The program installed into a prefix of its own and started from $HOME, which holds no
    # data/: resized, it shows the picture at 4:3 (drawn at the window's size); minimised, it
    # draws nothing.
    program_options=(--size native)
    cmake --install "$(dirname "$program")/.." --prefix "$work/prefix" >/dev/null ||
        fail "cannot install"
    program=$work/prefix/bin/vellomire
    cd "$HOME" || fail "no home"
    start_show
    xdotool windowsize --sync "$window" 1000 500
    client_geometry "$window"
    [ "${cw}x${ch}" = 1000x500 ] || fail "the client is ${cw}x${ch}, not 1000x500"
    # 1000 x 500 fits a 664 x 498 picture, drawn at that size and shown pixel for pixel: at
    # (168, 1), with black margins around it (the screenshot below checks them).
    picture="$((cx + 168)) $((cy + 1)) 664 498"
    check_picture "$picture"
    # In a screenshot of the client area the lit pixels (the open band between the show's
    # letterbox bars) span exactly the picture's 664 columns and the band's rows at 498 rows
    # (145 to 352 of the picture), with pure black margins and rows beside them: a picture
    # stretched to the letterbox rectangle would be 667 wide with blended rows at the bars' edges.
    shot=${VELLOMIRE_E2E_SHOT:-$work/native.png}
    shot "$window" "$shot"
    read -r left right top bottom edges < <(ffmpeg -loglevel error -i "$shot" -vf format=gray \
        -f rawvideo - | od -An -v -tu1 -w1000 | awk '
        { sum[NR] = 0; for (x = 1; x <= NF; ++x) if ($x > 0) {
              sum[NR] += $x; if (l == "" || x < l) l = x; if (x > r) r = x }
          if (sum[NR] > 0) { if (t == "") t = NR; b = NR } }
        END { # each edge row against its neighbour inside the band, in percent
              printf "%d %d %d %d %d,%d\n", l - 1, r - 1, t - 1, b - 1,
                  100 * sum[t] / sum[t + 1], 100 * sum[b] / sum[b - 1] }')
    echo "native 1000x500: lit columns $left-$right, rows $top-$bottom; edge rows at $edges% of" \
        "their neighbours"
    [ "$left $right $top $bottom" = "168 831 146 353" ] ||
        fail "the picture is not shown pixel for pixel: lit columns $left-$right, rows $top-$bottom"
    for edge in ${edges/,/ }; do
        [ "$edge" -ge 80 ] || fail "a blended row at a bar's edge ($edges%)"
    done
    xdotool windowminimize --sync "$window"
    for _ in 1 2 3 4 5; do # a second without drawing within five
        ticks=$(awk '{print $14 + $15}' "/proc/$program_pid/stat")
        sleep 1
        ticks=$(($(awk '{print $14 + $15}' "/proc/$program_pid/stat") - ticks))
        [ "$ticks" -lt 10 ] && break
    done
    [ "$ticks" -lt 10 ] || fail "draws or spins while minimised ($ticks CPU ticks a second)"
    xdotool windowactivate --sync "$window" >/dev/null 2>&1 || xdotool windowmap "$window"
    alive "while minimised"
    check_picture "$picture"
    press "$window" Escape
    expect_exit_zero 10
    if grep -q "show's files\|File Not Found" "$work/out"; then fail "no data: $(cat "$work/out")"; fi
    ;;
no_window)
    # No window can be made for the show (SDL is told to use a visual the screen lacks): after
    # OK, the error is shown, and once it is dismissed the program exits with status 1, not
    # the 0 of a show that ended.
    SDL_VIDEO_X11_WINDOW_VISUALID=0x7fffffff start_show_dialog
    for _ in $(seq 50); do # SDL's message box: listed by xwininfo, not found by its name
        box=$(xwininfo -root -tree | awk '/"Error": \(/ {print $1; exit}')
        [ -n "$box" ] && break
        sleep 0.2
    done
    [ -n "$box" ] || fail "no error shown: $(cat "$work/out")"
    press "$box" Return
    status=0
    timeout 10 tail --pid="$program_pid" -f /dev/null
    wait "$program_pid" || status=$?
    program_pid=
    [ $status -eq 1 ] || fail "exit status $status, not 1: $(cat "$work/out")"
    grep -q "^vellomire: Error: Error Creating OpenGL Window$" "$work/out" ||
        fail "the error is not on stderr: $(cat "$work/out")"
    grep -q "^vellomire: neither an OpenGL ES 3.0 context nor a desktop OpenGL 3.3 core one" \
        "$work/out" || fail "what was asked for is not said: $(cat "$work/out")"
    ;;
alt_release)
    # Right held, Alt pressed, Right released while Alt is still down, then Alt released: the
    # release must still count. A Right left held seeks on by 0.5 s every frame and ends the
    # show within about ten seconds; released, the show is still running 20 s later.
    start_show
    xdotool windowactivate --sync "$window" >/dev/null 2>&1
    xdotool keydown Right && sleep 0.3 && xdotool keydown alt && sleep 0.2 &&
        xdotool keyup Right && sleep 0.2 && xdotool keyup alt
    for second in $(seq 20); do
        sleep 1
        alive "$second s after Right was released while Alt was held"
    done
    echo "still running 20 s after Right was released while Alt was held"
    press "$window" Escape
    expect_exit_zero 10
    ;;
show_end)
    start_show
    for _ in 1 2 3; do # Up held until the show ends, pressed again should a press have gone astray
        xdotool windowactivate --sync "$window" >/dev/null 2>&1 # a failed activation must not drop the key
        xdotool keydown Up
        sleep 3
        kill -0 "$program_pid" 2>/dev/null || break
    done
    expect_exit_zero 20
    xdotool keyup Up
    ;;
damaged_data)
    # Given a data/ whose every file is damaged one way or another, the program draws for two
    # seconds, names the files it cannot read, and exits 0 on Escape.
    mkdir "$work/a" && cp -r data "$work/a/" && cd "$work/a/data" || fail "no copy"
    for file in music/track.mp3 3d/torus.obj; do # overwritten with random bytes, the same each run
        openssl enc -aes-128-ctr -pass pass:vellomire -nosalt -pbkdf2 </dev/zero 2>/dev/null |
            head -c "$(stat -c %s "$file")" >"$file.new" && mv "$file.new" "$file" || fail "$file"
    done
    rm textures/font.png textures/butterfly.png textures/particle.png &&
        mkdir textures/particle.png && cd "$work" || fail "cannot damage the copy"
    program_options=(--data "$work/a")
    start_show
    sleep 2
    alive "before Escape"
    press "$window" Escape
    expect_exit_zero 10
    textures="$work/a/data/textures"
    grep -qxF "vellomire: cannot read the show's files $textures/particle.png, \
$textures/butterfly.png, $textures/font.png" "$work/out" ||
        fail "the unreadable files are not named: $(cat "$work/out")"
    ;;
*)
    fail "unknown case"
    ;;
esac
echo "ok: $case_name"

#!/usr/bin/env bash
# Long run of the real program under Xvfb with openbox: the dialog's "OK" (windowed), then for
# SECONDS a seeded storm of presses and holds of the show's keys (F1 many times, arrows held,
# Space, the frame steps, Page Down/Up and Home tapped, Escape only at the end), other keys,
# minimise and restore, resizes. Then Escape.
#
# Passes when the program exits with status 0 on Escape, never ends or crashes before it, its
# resident memory at the end is within 10% of the value shortly after the first F1, and at the
# end it has one window (none leaked), which F1 still switches between full screen and an
# 800 x 600 window and back (no full screen stuck).
#
# Usage: scripts/key-storm.sh [SECONDS [SEED [PATH/TO/vellomire]]]
#   SECONDS defaults to 60; SEED to the current time (printed, so a failure can be re-run);
#   the program to build/release/shell/vellomire. Run from the repository root or anywhere: the
#   program starts in the repository root, where it finds data/.
set -u

seconds=${1:-60}
seed=${2:-$(date +%s)}
repo=$(cd "$(dirname "$0")/.." && pwd)
program=${3:-$repo/build/release/shell/vellomire}
screen_w=1280
screen_h=1024
export SDL_AUDIODRIVER=dummy

fail() {
    echo "FAIL [key storm, seed $seed]: $*" >&2
    exit 1
}

[ -x "$program" ] || fail "no program at $program (build it first)"

# Re-run inside a fresh X server, with a hard limit well past the storm's own length.
if [ -z "${VELLOMIRE_STORM_INSIDE:-}" ]; then
    export VELLOMIRE_STORM_INSIDE=1
    exec timeout $((seconds + 90)) xvfb-run -a -s "-screen 0 ${screen_w}x${screen_h}x24" \
        "$0" "$seconds" "$seed" "$program"
fi

echo "key storm: $seconds s, seed $seed, program $program"
RANDOM=$seed
work=$(mktemp -d)
# shellcheck source=tests/shell/x_session.sh
source "$(dirname "$0")/../tests/shell/x_session.sh"
start_window_manager
program_pid=
cleanup() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null
    fi
    kill "$wm" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
sleep 0.5

# The visible window titled exactly $1, or nothing.
find_window() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -1
}

# Waits up to $2 seconds for a visible window titled $1; prints its id.
wait_window() {
    local deadline=$((SECONDS + $2)) id
    while [ $SECONDS -lt $deadline ]; do
        id=$(find_window "$1")
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# xdotool's --sync waits for the window manager's answer; a window destroyed meanwhile (after
# F1) never answers, so the wait is bounded.
xdo_sync() {
    timeout 5 xdotool "$@"
}

alive() {
    kill -0 "$program_pid" 2>/dev/null
}

# Ends the storm when the program has gone before the final Escape.
check_alive() {
    if ! alive; then
        wait "$program_pid"
        local status=$?
        program_pid=
        tail -20 "$work/out"
        fail "the program ended during the storm ($1) with status $status"
    fi
}

rss_kib() {
    awk '/^VmRSS:/ {print $2}' "/proc/$program_pid/status"
}

windows_seen=" "
f1_presses=0
actions=0

# Brings the program's current window to the front; keeps $window up to date.
focus() {
    local id
    id=$(find_window "Vellomire Engine")
    if [ -n "$id" ]; then
        window=$id
        case "$windows_seen" in *" $id "*) ;; *) windows_seen="$windows_seen$id " ;; esac
    fi
    xdo_sync windowactivate --sync "$window" >/dev/null 2>&1
}

# A random duration of $1 to $2 milliseconds, as seconds for sleep.
random_sleep() {
    local ms=$(($1 + RANDOM % ($2 - $1 + 1)))
    sleep "$(printf '%d.%03d' $((ms / 1000)) $((ms % 1000)))"
}

# Holds key $1 for $2 to $3 milliseconds.
hold() {
    xdotool keydown "$1"
    random_sleep "$2" "$3"
    xdotool keyup "$1"
}

# Keys the show does not use, none of them a window-manager shortcut on its own.
other_keys=(a z m 1 9 Return Tab BackSpace F2 F5 F11 F12 End Insert Delete Shift_L Control_L
    Alt_L Caps_Lock KP_Enter minus)
# The viewer's keys: pause, frame steps, the cuts, the heads-up line. Every burst of them ends
# with Home, so that the jumps forward never bring the clock near the end of the show.
viewer_keys=(space period period comma Next Next Prior h)

# Up and Right pressed while Down is held: the keys act in the order Left, Right, Up, Down in
# every frame, so Down's step back always wins and the clock never nears the end of the show,
# however many frames a hold lasts (the frame rate is unbounded).
seek_about() {
    local forward=Up
    [ $((RANDOM % 2)) -eq 0 ] && forward=Right
    xdotool keydown Down
    random_sleep 30 150
    hold $forward 100 800
    random_sleep 30 150
    xdotool keyup Down
}

one_action() {
    focus
    case $((RANDOM % 15)) in
    0 | 1) # F1, waited for
        f1_presses=$((f1_presses + 1))
        hold F1 120 250
        random_sleep 300 1500
        ;;
    2) # F1 again and again, without waiting for the new window
        local n=$((2 + RANDOM % 3)) i
        for ((i = 0; i < n; i++)); do
            f1_presses=$((f1_presses + 1))
            hold F1 60 200
            random_sleep 50 400
            focus
        done
        wait_window "Vellomire Engine" 10 >/dev/null || check_alive "F1 burst"
        ;;
    3) # an arrow held (only the ones that move the music back: see seek_about)
        local arrows=(Left Down Left)
        hold "${arrows[RANDOM % ${#arrows[@]}]}" 200 1500
        ;;
    4) seek_about ;;
    5) # several keys down at once, released in another order
        local a=Left b=Down c=${other_keys[RANDOM % ${#other_keys[@]}]}
        xdotool keydown $a keydown $b keydown "$c"
        random_sleep 100 600
        xdotool keyup $b keyup "$c" keyup $a
        ;;
    6 | 7) # other keys
        hold "${other_keys[RANDOM % ${#other_keys[@]}]}" 20 400
        hold "${other_keys[RANDOM % ${#other_keys[@]}]}" 20 400
        ;;
    8) # minimise, wait, restore
        xdo_sync windowminimize --sync "$window" >/dev/null 2>&1
        random_sleep 200 1500
        xdo_sync windowactivate --sync "$window" >/dev/null 2>&1 ||
            xdotool windowmap "$window" >/dev/null 2>&1
        ;;
    9) # resize to a random size (in full screen the window manager may refuse)
        xdo_sync windowsize --sync "$window" $((200 + RANDOM % 1000)) $((150 + RANDOM % 800)) \
            >/dev/null 2>&1
        ;;
    10) # a key pressed while minimised, then restored
        xdo_sync windowminimize --sync "$window" >/dev/null 2>&1
        xdotool key F1 key Left
        random_sleep 100 500
        xdo_sync windowactivate --sync "$window" >/dev/null 2>&1 ||
            xdotool windowmap "$window" >/dev/null 2>&1
        ;;
    11) random_sleep 100 1000 ;; # let it draw
    13 | 14) # the viewer's keys tapped, then Home
        local n=$((1 + RANDOM % 6)) i taps=()
        for ((i = 0; i < n; i++)); do
            taps+=("${viewer_keys[RANDOM % ${#viewer_keys[@]}]}")
        done
        xdotool key "${taps[@]}"
        random_sleep 50 600
        xdotool key Home
        ;;
    12) # F1 held past the keyboard's auto-repeat delay: repeated key-downs reach new windows
        f1_presses=$((f1_presses + 1))
        hold F1 700 1500
        wait_window "Vellomire Engine" 10 >/dev/null || check_alive "F1 held"
        ;;
    esac
    actions=$((actions + 1))
    check_alive "action $actions"
}

cd "$repo" || fail "no repository at $repo"
"$program" >"$work/out" 2>&1 &
program_pid=$!

dialog=$(wait_window "Vellomire Settings" 15) || fail "no dialog"
xdo_sync windowactivate --sync "$dialog" >/dev/null 2>&1
hold Return 200 300
window=$(wait_window "Vellomire Engine" 15) || fail "no window after OK"
sleep 1
check_alive "start"

# The program's window $1 as WIDTHxHEIGHT, followed by " full" in the full-screen state.
mode_of() {
    local size
    size=$(xwininfo -id "$1" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}')
    if xprop -id "$1" _NET_WM_STATE | grep -q FULLSCREEN; then echo "$size full"; else echo "$size"; fi
}

# Taps F1 and waits for the program's new window, which must be in the other mode: full screen
# after a window, an 800 x 600 window after full screen.
switch_mode() {
    local old want="${screen_w}x${screen_h} full" deadline=$((SECONDS + 15))
    focus
    old=$window
    [ "$(mode_of "$window")" = "$want" ] && want=800x600
    f1_presses=$((f1_presses + 1))
    xdotool key F1
    while [ "$(find_window "Vellomire Engine")" = "$old" ] || [ -z "$(find_window "Vellomire Engine")" ]; do
        [ $SECONDS -lt $deadline ] || fail "no new window after F1 ($1)"
        sleep 0.2
    done
    check_alive "F1 ($1)"
    focus
    [ "$(mode_of "$window")" = "$want" ] || fail "after F1 ($1): $(mode_of "$window"), not $want"
}

# The first F1, then the reference for the memory check once the new window has settled.
switch_mode "the first"
sleep 2
rss_start=$(rss_kib)
echo "resident memory 2 s after the first F1: $rss_start KiB"

storm_end=$((SECONDS + seconds))
next_report=$((SECONDS + 30))
rss_peak=$rss_start
while [ $SECONDS -lt $storm_end ]; do
    one_action
    rss=$(rss_kib)
    [ "$rss" -gt "$rss_peak" ] && rss_peak=$rss
    if [ $SECONDS -ge $next_report ]; then
        echo "  after $actions actions, $f1_presses F1 presses: $rss KiB"
        next_report=$((SECONDS + 30))
    fi
done

# Settle in a visible window, measure, then Escape.
focus
sleep 2
check_alive "settling"
rss_end=$(rss_kib)
windows=$(($(echo $windows_seen | wc -w)))
echo "actions $actions, F1 presses $f1_presses, windows seen $windows"
echo "resident memory: after first F1 $rss_start KiB, peak $rss_peak KiB, at the end $rss_end KiB"

# None leaked: the program has one window. None stuck: F1 switches it to the other mode and back.
named=$(xdotool search --name '^Vellomire Engine$' 2>/dev/null | wc -l)
[ "$named" -eq 1 ] || fail "the program has $named windows, not one"
switch_mode "at the end"
switch_mode "at the end, back"

status=
deadline=$((SECONDS + 15))
while [ $SECONDS -lt $deadline ]; do
    focus
    hold Escape 150 250
    sleep 0.5
    if ! alive; then
        wait "$program_pid"
        status=$?
        program_pid=
        break
    fi
done
[ -n "$status" ] || fail "still running 15 s after Escape"
echo "exit status $status"
[ "$status" -eq 0 ] || { tail -20 "$work/out"; fail "exit status $status"; }

limit=$((rss_start + rss_start / 10))
[ "$rss_end" -le "$limit" ] ||
    fail "resident memory grew from $rss_start KiB to $rss_end KiB (limit $limit KiB)"

echo "ok: key storm of $seconds s (seed $seed)"

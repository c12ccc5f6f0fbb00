# Helpers shared by the scripts that drive the real program under Xvfb; sourced, not run.

# Starts openbox in the background (its pid in $wm) and waits until it has taken the screen:
# a window mapped before that may be left without a frame or focus.
start_window_manager() {
    openbox >/dev/null 2>&1 &
    wm=$!
    for _ in $(seq 50); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.2
    done
}

# Prints the id of a visible window titled exactly $1 (other than window $3) once one appears
# within $2 seconds.
wait_window() {
    local deadline=$((SECONDS + $2)) id
    while [ $SECONDS -lt $deadline ]; do
        for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
            [ "$id" != "${3:-}" ] && echo "$id" && return 0
        done
        sleep 0.2
    done
    return 1
}

#!/usr/bin/env bash
# Full-screen game mode on Xorg with the dummy video driver (Xvfb offers none), a row for each
# way the game is ended: ESC, or a signal as from the terminal, a logout or `kill`. The game must
# take the whole screen, its window named, with its pid and icon, before it first shows; switch
# the screen to 1024x768 and draw there; once ended it must have switched the screen back to the
# desktop's 1280x1024, and it must end with the row's status. With --windowed or -geometry it
# must never switch: a titled window at 1024x768, or at -geometry's size and place. The test
# shim logs every switch freeglut makes (XF86VidModeSwitchToMode): the dummy server takes a
# switch without showing any change. Each row has a server of its own: a game that ends in
# 1024x768 leaves the server there, and the next game would take that for the desktop's mode.
# Usage: game_mode.sh BONEYARD FRAME_SHIM DATA_DIR
BONEYARD=$1 FRAME_SHIM=$2
. "$(dirname "$0")/lib.sh" || exit 1
X_SERVER=xorg-dummy
e2e_setup xwininfo
dir=$(fresh_run_dir "$3")
export BONEYARD_MODE_LOG_FILE="$WORK/modes.log" BONEYARD_MAP_LOG="$WORK/map.log"

# The one shown child of the root window: game mode's window has no title to search by, and
# nothing else here opens a window.
game_window() {
    local root; root=$(xwininfo -root -int | sed -n 's/.*Window id: \([0-9]*\).*/\1/p')
    xdotool search --onlyvisible --maxdepth 1 --name '' 2>/dev/null | grep -vxF "$root" | head -n1
}
modes() { { tr '\n' ' ' <"$BONEYARD_MODE_LOG_FILE"; } 2>/dev/null; }

# Each row: how the game ends, its status, the window expected (a pattern; "screen" for the
# whole screen), whether the game switches the screen's mode, the arguments.
while read -r end expected window switches args; do
    during='' after=''
    [ "$switches" = yes ] && during='1024x768 ' after='1024x768 1280x1024 '
    deadline=$((SECONDS + 30))
    stop_server && start_server
    rm -f "$BONEYARD_MODE_LOG_FILE" "$BONEYARD_MAP_LOG"
    # shellcheck disable=SC2086
    start_game "$dir" $args
    until WINDOW=$(game_window) && [ -n "$WINDOW" ] && wait_frames 3 1; do
        [ $SECONDS -lt $deadline ] && kill -0 "$GAME_PID" 2>/dev/null && sleep 0.2 || break
    done
    row="$end${args:+ after $args}"
    if [ -z "$WINDOW" ] || [ "$(frames)" -lt 3 ]; then
        show_stderr; fail "$row: no window drawing frames (switches: \"$(modes)\")"
        kill -9 "$GAME_PID" 2>/dev/null; wait "$GAME_PID"; continue
    fi
    eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
    [ "$window" = screen ] && window="$(xdotool getdisplaygeometry | tr ' ' x)+0+0"
    # shellcheck disable=SC2053
    [[ ${WIDTH}x$HEIGHT+$X+$Y == $window ]] || fail "$row: the window is ${WIDTH}x$HEIGHT+$X+$Y, not $window"
    [ "$(modes)" = "$during" ] || fail "$row: switches while the game runs: \"$(modes)\", expected \"$during\""
    [ "$(head -n1 "$BONEYARD_MAP_LOG")" = "WM_CLASS boneyard.Boneyard _NET_WM_PID $GAME_PID _NET_WM_ICON 7688" ] ||
        fail "$row: when first mapped the window carried $(head -n1 "$BONEYARD_MAP_LOG")"
    if [ "$end" = Escape ]; then press Escape; else kill -s "$end" "$GAME_PID"; fi
    wait_exit 20
    [ "$STATUS" -eq "$expected" ] || fail "$row: exit status $STATUS, expected $expected"
    [ "$(modes)" = "$after" ] || fail "$row: switches \"$(modes)\", expected \"$after\""
    [ "$(stderr_lines)" -eq 0 ] || { show_stderr; fail "$row: the game wrote to stderr"; }
    echo "-- $row: status $STATUS, window ${WIDTH}x$HEIGHT+$X+$Y, switches: $(modes)"
done <<ROWS
Escape 0   screen         yes
TERM   143 screen         yes
INT    130 screen         yes
HUP    129 screen         yes
Escape 0   1024x768+*     no   --windowed
Escape 0   640x480+30+40  no   -geometry 640x480+30+40
ROWS
finish

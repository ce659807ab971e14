#!/usr/bin/env bash
# Full-screen game mode on Xorg with the dummy video driver (Xvfb offers none), a row for each
# way the game is ended: ESC, or a signal as from the terminal, a logout or `kill`. The game must
# take the whole screen, switch it to 1024x768 and draw there; once ended it must have switched
# the screen back to the desktop's 1280x1024, and it must end with the row's status. The test
# shim logs every switch freeglut makes (XF86VidModeSwitchToMode): the dummy server takes a
# switch without showing any change. Each row has a server of its own: a game that ends in
# 1024x768 leaves the server there, and the next game would take that for the desktop's mode.
# Usage: game_mode.sh BONEYARD FRAME_SHIM DATA_DIR
BONEYARD=$1 FRAME_SHIM=$2
. "$(dirname "$0")/lib.sh" || exit 1
X_SERVER=xorg-dummy
e2e_setup xwininfo
dir=$(fresh_run_dir "$3")
export BONEYARD_MODE_LOG_FILE="$WORK/modes.log"

# The one shown child of the root window: game mode's window has no title to search by, and
# nothing else here opens a window.
game_window() {
    local root; root=$(xwininfo -root -int | sed -n 's/.*Window id: \([0-9]*\).*/\1/p')
    xdotool search --onlyvisible --maxdepth 1 --name '' 2>/dev/null | grep -vxF "$root" | head -n1
}
modes() { { tr '\n' ' ' <"$BONEYARD_MODE_LOG_FILE"; } 2>/dev/null; }

for row in Escape:0 TERM:143 INT:130 HUP:129; do
    end=${row%:*} expected=${row#*:} deadline=$((SECONDS + 30))
    stop_server && start_server
    rm -f "$BONEYARD_MODE_LOG_FILE"
    start_game "$dir"
    until WINDOW=$(game_window) && [ -n "$WINDOW" ] && wait_frames 3 1; do
        [ $SECONDS -lt $deadline ] && kill -0 "$GAME_PID" 2>/dev/null && sleep 0.2 || break
    done
    if [ -z "$WINDOW" ] || [ "$(frames)" -lt 3 ]; then
        show_stderr; fail "$end: no window drawing frames (switches: \"$(modes)\")"
        kill -9 "$GAME_PID" 2>/dev/null; wait "$GAME_PID"; continue
    fi
    eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
    screen=$(xdotool getdisplaygeometry | tr ' ' x)
    [ "${WIDTH}x$HEIGHT+$X+$Y" = "$screen+0+0" ] || fail "$end: the window is ${WIDTH}x$HEIGHT+$X+$Y, not the whole $screen screen"
    [ "$(modes)" = "1024x768 " ] || fail "$end: switches while the game runs: \"$(modes)\", expected \"1024x768 \""
    if [ "$end" = Escape ]; then press Escape; else kill -s "$end" "$GAME_PID"; fi
    wait_exit 20
    [ "$STATUS" -eq "$expected" ] || fail "$end: exit status $STATUS, expected $expected"
    [ "$(modes)" = "1024x768 1280x1024 " ] || fail "$end: switches \"$(modes)\", expected \"1024x768 1280x1024 \""
    [ "$(stderr_lines)" -eq 0 ] || { show_stderr; fail "$end: the game wrote to stderr"; }
    echo "-- $end: status $STATUS, switches: $(modes)"
done
finish

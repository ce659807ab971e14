#!/usr/bin/env bash
# Full-screen game mode on Xorg's dummy video driver (Xvfb offers none), a row for each way the
# game ends or opens its window instead. The screen's mode switches are the test shim's log of
# XF86VidModeSwitchToMode: the dummy server shows none. A server per row: a game that ends in
# 1024x768 leaves the server there, for the next to take as the desktop's mode.
# Usage: game_mode.sh BONEYARD FRAME_SHIM DATA_DIR
BONEYARD=$1 FRAME_SHIM=$2
. "$(dirname "$0")/lib.sh" || exit 1
X_SERVER=xorg-dummy
e2e_setup
dir=$(fresh_run_dir "$3")
WINDOW_SEARCH=(--classname '^boneyard$')  # game mode's window has its class from the first map, its title after
ulimit -c 0
modes() { { tr '\n' ' ' <"$WORK/modes.log"; } 2>/dev/null; }

# Each row: how the game ends, the window expected (a pattern; "screen" for the whole screen,
# where the game must switch the screen's mode), the arguments.
while read -r end window args; do
    row="$end${args:+ after $args}" during='' after='' GAME_ENV=() warning=''
    [[ $args == *=* ]] && GAME_ENV=("$args") args='' warning='boneyard: warning: cannot switch the screen to 1024x768: playing in a window|'
    stop_server && start_server
    # shellcheck disable=SC2086
    start_game "$dir" $args
    find_window 30 && wait_frames 3 30 ||
        { show_stderr; fail "$row: no window drawing frames (switches: \"$(modes)\")"; wait_exit 0; continue; }
    eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
    [ "$window" = screen ] && window="$(xdotool getdisplaygeometry | tr ' ' x)+0+0" during='1024x768 ' after='1024x768 1280x1024 '
    got="${WIDTH}x$HEIGHT+$X+$Y \"$(xdotool getwindowname "$WINDOW")\", switches \"$(modes)\""
    named_at_map "$row"
    end_game "$end" "$row" "$warning"
    got+=" then \"$(modes)\" $(tr '\n' '|' <"$WORK/game.err")"
    window+=" \"Assignment 3 - Pellowin\", switches \"$during\" then \"$after\" $warning"
    # shellcheck disable=SC2053
    [[ $got == $window ]] || fail "$row: window $got, expected $window"
    echo "-- $row: window $got"
done <<ROWS
Escape screen
TERM   screen
INT    screen
HUP    screen
QUIT   screen
Escape 1024x768+*    --windowed
Escape 640x768+640+256 -geometry 640-0-0
Escape 1024x768+*    BONEYARD_MODES_GONE=1
ROWS
finish

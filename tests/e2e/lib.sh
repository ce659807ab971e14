# The end-to-end tests' library: start the real game on a private X server, send it real keys
# (XTEST), count its frames, read its pixels, stop it. Set BONEYARD (an absolute path), maybe
# FRAME_SHIM (test_shim) and GAME_PREFIX (a command to run the game under, such as valgrind),
# and X_SERVER=xorg-dummy for Xorg with the dummy video driver instead of Xvfb.
# Anything missing fails: no test is skipped.
set -uo pipefail
FAILURES=0 GAME_PID="" SERVER_PID="" WORK=""
fail() { echo "FAIL: $*" >&2; FAILURES=$((FAILURES + 1)); }
die() { fail "$@"; exit 1; }
show_stderr() { sed 's/^/    stderr: /' "$WORK/game.err" | head -n 20 >&2; }
finish() { [ "$FAILURES" -eq 0 ] || { show_stderr 2>/dev/null; die "$FAILURES failure(s)"; }; echo "all checks passed in $SECONDS s"; }
cleanup() {
    [ -z "$GAME_PID" ] || { kill -9 "$GAME_PID"; wait "$GAME_PID"; } 2>/dev/null
    stop_server
    [ "$FAILURES" -eq 0 ] && rm -rf "$WORK" || echo "FAIL: its files are kept in $WORK" >&2
}

# Checks the tools ("$@" too), makes the scratch folder $WORK, starts a private X server (so
# tests in parallel share no window or focus).
e2e_setup() {
    local tool server=Xvfb
    [ "${X_SERVER:-}" = xorg-dummy ] && server=Xorg
    for tool in $server xdotool xdpyinfo import convert compare "$@"; do command -v "$tool" >/dev/null || die "no $tool"; done
    # Xorg takes a config file and a log of the caller's choosing only from root.
    [ $server = Xvfb ] || [ "$(id -u)" -eq 0 ] || die "Xorg with a config of its own needs root"
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/boneyard-e2e.XXXXXX") && chmod 755 "$WORK" && trap cleanup EXIT
    start_server
}

# Starts the X server and exports DISPLAY; -noreset: none resetting as a game starts. Xvfb has
# no screen modes to switch. Xorg's dummy driver offers the 1280x1024 desktop and the game's
# 1024x768 at 75 Hz, so full-screen game mode is possible there. It opens no input device
# (XTEST still sends keys) and leaves the consoles alone: -sharevts, -novtswitch.
start_server() {
    local deadline=$((SECONDS + 20)) server=(Xvfb -screen 0 1280x1024x24)
    rm -f "$WORK/display"
    if [ "${X_SERVER:-}" = xorg-dummy ]; then
        cat >"$WORK/xorg.conf" <<'CONF'
Section "ServerFlags" Option "AutoAddDevices" "false" EndSection
Section "Device" Identifier "dummy" Driver "dummy" VideoRam 16384 EndSection
Section "Monitor" Identifier "monitor" HorizSync 30-80 VertRefresh 50-80
    Modeline "1280x1024" 108.00 1280 1328 1440 1688 1024 1025 1028 1066 +hsync +vsync
    Modeline "1024x768" 78.75 1024 1040 1136 1312 768 769 772 800 +hsync +vsync EndSection
Section "Screen" Identifier "screen" Device "dummy" Monitor "monitor" DefaultDepth 24
    SubSection "Display" Modes "1280x1024" "1024x768" EndSubSection EndSection
CONF
        server=(Xorg -config "$WORK/xorg.conf" -logfile "$WORK/xorg.log" -sharevts -novtswitch)
    fi
    "${server[@]}" -displayfd 3 -nolisten tcp -noreset 3>"$WORK/display" >/dev/null 2>&1 &
    SERVER_PID=$!
    until [ -s "$WORK/display" ] && DISPLAY=":$(head -n1 "$WORK/display")" xdpyinfo >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] && kill -0 "$SERVER_PID" 2>/dev/null && sleep 0.1 || die "the X server did not start"
    done
    export DISPLAY=":$(head -n1 "$WORK/display")"
}
# Asked, not killed: a server that ends of itself gives back its display number and lock file.
stop_server() {
    [ -n "$SERVER_PID" ] && kill "$SERVER_PID" 2>/dev/null && wait "$SERVER_PID" 2>/dev/null
    SERVER_PID=""
}

# Prints the path of a fresh folder holding a copy of the data files in folder $1.
fresh_run_dir() { local dir; dir=$(mktemp -d "$WORK/run.XXXXXX") && cp -r "$1"/. "$dir/" && echo "$dir"; }

# Starts the game in folder $1 with the arguments after it: its stderr to $WORK/game.err, and
# from the test shim its frame count to game.frames, what its window carries when first mapped
# to map.log and its screen mode switches to modes.log, all in $WORK. GAME_ENV may hold more
# NAME=VALUE words for its environment. Signals the caller ignores (nohup's HUP, a background
# job's INT) are not ignored by the game unless GAME_PREFIX says so.
start_game() {
    local dir=$1; shift
    rm -f "$WORK"/{game.err,game.frames,map.log,modes.log}
    (cd "$dir" && exec env --default-signal LD_PRELOAD="${FRAME_SHIM:-}" BONEYARD_FRAME_COUNT_FILE="$WORK/game.frames" \
        BONEYARD_MAP_LOG="$WORK/map.log" BONEYARD_MODE_LOG_FILE="$WORK/modes.log" \
        ${GAME_ENV[@]+"${GAME_ENV[@]}"} ${GAME_PREFIX[@]+"${GAME_PREFIX[@]}"} "$BONEYARD" "$@" 2>"$WORK/game.err") &
    GAME_PID=$!
}
# start_game, then waits for its window to draw frames: fails, and returns 1, if it does not.
start_playing() {
    start_game "$@"
    wait_window 60 && wait_frames 3 60 || { show_stderr; fail "no window titled \"Assignment 3 - Pellowin\" drawing frames"; return 1; }
}
frames() { local n; n=$(tr -d ' \n' 2>/dev/null <"$WORK/game.frames"); echo "${n:-0}"; }
stderr_lines() { grep -c '' "$WORK/game.err"; }
press() { xdotool key --clearmodifiers "$@" 2>/dev/null; }

# Runs "${@:2}" every 0.1 s until it succeeds; fails after $1 s or once the game has ended.
within() {
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do [ $SECONDS -lt $deadline ] && kill -0 "$GAME_PID" 2>/dev/null && sleep 0.1 || return 1; done
}
# Waits up to $1 s for a shown window found by WINDOW_SEARCH (xdotool search's words) and sets
# WINDOW. wait_window then moves it to the screen's corner (its pixels are then the screen's) and
# focuses it (there is no window manager).
WINDOW_SEARCH=(--name '^Assignment 3 - Pellowin$')
shown() { WINDOW=$(xdotool search --onlyvisible "${WINDOW_SEARCH[@]}" 2>/dev/null | head -n1) && [ -n "$WINDOW" ]; }
placed() { shown && timeout 5 xdotool windowmove --sync "$WINDOW" 0 0 windowfocus --sync "$WINDOW" 2>/dev/null; }
find_window() { within "$1" shown; }
wait_window() { within "$1" placed; }
# Waits up to $2 s until $1 frames have been shown in all; more_frames counts from now.
drawn() { [ "$(frames)" -ge "$1" ]; }
wait_frames() { within "$2" drawn "$1"; }
more_frames() { wait_frames $(($(frames) + $1)) "$2"; }
# Waits up to $1 s for the game to end and sets STATUS; kills it and sets 124 if it hangs.
wait_exit() {
    within "$1" false; kill -9 "$GAME_PID" 2>/dev/null; local alive=$?
    wait "$GAME_PID"; STATUS=$? GAME_PID=""
    [ "$alive" -ne 0 ] || { STATUS=124; return 1; }
}

# Row $1 fails unless the game's window carried its class, pid and icon (four sizes, of
# 2 + size * size values: 7688) when it was first mapped.
named_at_map() {
    [ "$(head -n1 "$WORK/map.log")" = "WM_CLASS boneyard.Boneyard _NET_WM_PID $GAME_PID _NET_WM_ICON 7688" ] ||
        fail "$1: when first mapped the window carried $(head -n1 "$WORK/map.log")"
}
# Ends the game by ESC or by signal $1; row $2 fails unless it ends with status 0, or 128 + n
# within 1.5 s of signal n (the game looks every 250 ms; the rest is slack for a busy machine),
# and, with no $3, writes nothing on stderr.
end_game() {
    local want=0 started elapsed
    started=$(date +%s%N)
    if [ "$1" = Escape ]; then press Escape; else want=$((128 + $(kill -l "$1"))) && kill -s "$1" "$GAME_PID"; fi
    wait_exit 30; elapsed=$((($(date +%s%N) - started) / 1000000))
    [ "$STATUS" -eq "$want" ] && { [ "$want" -eq 0 ] || [ "$elapsed" -le 1500 ]; } ||
        fail "$2: status $STATUS $elapsed ms after $1, expected $want (after a signal, within 1500 ms)"
    [ -n "${3:-}" ] || [ "$(stderr_lines)" -eq 0 ] || { show_stderr; fail "$2: the game wrote to stderr"; }
    echo "-- $2: status $STATUS $elapsed ms after $1"
}

shot() { import -window "$WINDOW" "$1" || die "cannot capture the window"; }
# Near-white pixels (every channel over 90 %) of picture $1 in the box X Y WIDTH HEIGHT.
white_count() { convert "$1[${4}x${5}+${2}+${3}]" -separate -evaluate-sequence min -threshold 90% -format '%[fx:round(mean*w*h)]' info:; }
# Pixels that differ between pictures $1 and $2 in the box X Y WIDTH HEIGHT.
changed_count() { compare -metric AE "$1[${5}x${6}+${3}+${4}]" "$2[${5}x${6}+${3}+${4}]" null: 2>&1; }

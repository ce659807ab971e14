# The end-to-end tests' library: start the real game on a private X server, send it real keys
# (XTEST), count its frames, read its pixels, stop it. Set BONEYARD (an absolute path), maybe
# FRAME_SHIM (test_shim) and GAME_PREFIX (a command to run the game under, such as valgrind).
# Anything missing fails: no test is skipped.
set -uo pipefail
FAILURES=0 GAME_PID="" XVFB_PID="" WORK=""
fail() { echo "FAIL: $*" >&2; FAILURES=$((FAILURES + 1)); }
die() { fail "$@"; exit 1; }
show_stderr() { sed 's/^/    stderr: /' "$WORK/game.err" | head -n 20 >&2; }
finish() { [ "$FAILURES" -eq 0 ] || { show_stderr 2>/dev/null; die "$FAILURES failure(s)"; }; echo "all checks passed in $SECONDS s"; }
cleanup() {
    for pid in $GAME_PID ${EXTRA_PIDS:-} $XVFB_PID; do kill -9 "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    [ "$FAILURES" -eq 0 ] && rm -rf "$WORK" || echo "FAIL: its files are kept in $WORK" >&2
}

# Checks the tools ("$@" too), makes the scratch folder $WORK, starts a private X server (so
# tests in parallel share no window or focus; -noreset: none resetting as a game starts).
e2e_setup() {
    local tool deadline=$((SECONDS + 20))
    for tool in Xvfb xdotool xdpyinfo import convert compare "$@"; do command -v "$tool" >/dev/null || die "no $tool"; done
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/boneyard-e2e.XXXXXX") && chmod 755 "$WORK" && trap cleanup EXIT
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$WORK/display" >/dev/null 2>&1 &
    XVFB_PID=$!
    until [ -s "$WORK/display" ] && DISPLAY=":$(head -n1 "$WORK/display")" xdpyinfo >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] && kill -0 "$XVFB_PID" 2>/dev/null && sleep 0.1 || die "Xvfb did not start"
    done
    export DISPLAY=":$(head -n1 "$WORK/display")"
}

# Starts an X client that logs every window created or mapped on our server (needs xev and
# xprop). sync_watch prints their count once a root property we set comes back: then all
# requests sent before are logged.
watch_windows() {
    xev -root -event substructure -event property >"$WORK/windows.log" 2>&1 & EXTRA_PIDS=$!
}
sync_watch() {
    local seen deadline=$((SECONDS + 20))
    seen=$(grep -c PropertyNotify "$WORK/windows.log")
    until [ "$(grep -c PropertyNotify "$WORK/windows.log")" -gt "$seen" ]; do  # set again: it may not listen yet
        [ $SECONDS -lt $deadline ] && xprop -root -f _BONEYARD_WATCH 8s -set _BONEYARD_WATCH "$seen" && sleep 0.1 || die "no answer from the watcher"
    done
    grep -cE '^(CreateNotify|MapNotify)' "$WORK/windows.log"
}

# Prints the path of a fresh folder holding a copy of the data files in folder $1.
fresh_run_dir() { local dir; dir=$(mktemp -d "$WORK/run.XXXXXX") && cp -r "$1"/. "$dir/" && echo "$dir"; }

# Starts the game in folder $1 with the arguments after it: its stderr to $WORK/game.err, its
# frame count to $WORK/game.frames. GAME_ENV may hold more NAME=VALUE words for its environment.
start_game() {
    local dir=$1; shift
    rm -f "$WORK/game.err" "$WORK/game.frames"
    (cd "$dir" && exec env LD_PRELOAD="${FRAME_SHIM:-}" BONEYARD_FRAME_COUNT_FILE="$WORK/game.frames" \
        ${GAME_ENV[@]+"${GAME_ENV[@]}"} ${GAME_PREFIX[@]+"${GAME_PREFIX[@]}"} "$BONEYARD" "$@" 2>"$WORK/game.err") &
    GAME_PID=$!
}
frames() { local n; n=$(tr -d ' \n' 2>/dev/null <"$WORK/game.frames"); echo "${n:-0}"; }
stderr_lines() { grep -c '' "$WORK/game.err"; }
press() { xdotool key --clearmodifiers "$@" 2>/dev/null; }

# Waits up to $1 s for a shown window named $2 (an ERE; the game's exact title by default)
# and sets WINDOW. wait_window then moves it to the screen's corner (its pixels are then the
# screen's) and focuses it (there is no window manager).
find_window() {
    local deadline=$((SECONDS + $1))
    until WINDOW=$(xdotool search --onlyvisible --name "${2:-^Assignment 3 - Pellowin\$}" 2>/dev/null | head -n1) && [ -n "$WINDOW" ]; do
        [ $SECONDS -lt $deadline ] && kill -0 "$GAME_PID" 2>/dev/null && sleep 0.2 || return 1
    done
}
wait_window() {
    local deadline=$((SECONDS + $1))
    until find_window "$1" "${2:-}" && timeout 5 xdotool windowmove --sync "$WINDOW" 0 0 windowfocus --sync "$WINDOW" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] && kill -0 "$GAME_PID" 2>/dev/null && sleep 0.2 || return 1
    done
}
# Waits up to $2 s until $1 frames have been shown in all; more_frames counts from now.
wait_frames() {
    local deadline=$((SECONDS + $2))
    until [ "$(frames)" -ge "$1" ]; do
        [ $SECONDS -lt $deadline ] && kill -0 "$GAME_PID" 2>/dev/null && sleep 0.1 || return 1
    done
}
more_frames() { wait_frames $(($(frames) + $1)) "$2"; }
# Waits up to $1 s for the game to end and sets STATUS; kills it and sets 124 if it hangs.
wait_exit() {
    local deadline=$((SECONDS + $1))
    while kill -0 "$GAME_PID" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] && sleep 0.1 || { kill -9 "$GAME_PID"; wait "$GAME_PID"; STATUS=124 GAME_PID=""; return 1; }
    done
    wait "$GAME_PID"; STATUS=$? GAME_PID=""
}

shot() { import -window "$WINDOW" "$1" || die "cannot capture the window"; }
# Near-white pixels (every channel over 90 %) of picture $1 in the box X Y WIDTH HEIGHT.
white_count() { convert "$1[${4}x${5}+${2}+${3}]" -separate -evaluate-sequence min -threshold 90% -format '%[fx:round(mean*w*h)]' info:; }
# Pixels that differ between pictures $1 and $2 in the box X Y WIDTH HEIGHT.
changed_count() { compare -metric AE "$1[${5}x${6}+${3}+${4}]" "$2[${5}x${6}+${3}+${4}]" null: 2>&1; }

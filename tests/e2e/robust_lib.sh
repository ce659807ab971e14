# Shared by the robustness tests: runs the real game binary in a folder of data files on
# a private X server, counts its frames through the frame-counting shim, drives it with
# real X input (XTEST) and checks how it ends. Source it; it defines functions only.
#
# The caller sets:
#   BONEYARD          the game binary
#   FRAME_SHIM        the frame-counting LD_PRELOAD library (robust_frame_counter)
#   GOOD_DATA         a folder holding the nine good data files
# and may set GAME_PREFIX (an array, e.g. a valgrind command line) to wrap the binary.
# EXTRA_PRELOAD in the environment is preloaded too (robust_keep_modules, when the game
# is a sanitizer build).

WINDOW_TITLE='^Assignment 3 - Pellowin$'
TEXTURES=(sides.bmp roof.bmp ground.bmp stones.bmp quorlinstarrynight.bmp moon.bmp)
DATA_FILES=("${TEXTURES[@]}" walk.txt car4x4.obj toy.obj)

FAILURES=0
GAME_PID=""
XVFB_PID=""

fail() {
    echo "FAIL: $*" >&2
    FAILURES=$((FAILURES + 1))
}

note() {
    echo "-- $*"
}

# Stops what this shell started, by process id only.
robust_cleanup() {
    if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
        kill -9 "$GAME_PID" 2>/dev/null
        wait "$GAME_PID" 2>/dev/null
    fi
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    fi
    [ -n "${WORK:-}" ] && rm -rf "$WORK"
}

# A scratch folder for the whole test, removed on exit together with the X server.
robust_setup() {
    for tool in Xvfb xdotool xdpyinfo; do
        command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 2; }
    done
    for f in "${DATA_FILES[@]}"; do
        [ -s "$GOOD_DATA/$f" ] || { echo "missing good data file: $GOOD_DATA/$f" >&2; exit 2; }
    done
    [ -x "$BONEYARD" ] || { echo "no game binary at $BONEYARD" >&2; exit 2; }
    [ -f "$FRAME_SHIM" ] || { echo "no frame shim at $FRAME_SHIM" >&2; exit 2; }
    # The game runs in its own folder: every path it is given must be absolute.
    BONEYARD=$(realpath "$BONEYARD") FRAME_SHIM=$(realpath "$FRAME_SHIM") GOOD_DATA=$(realpath "$GOOD_DATA")
    [ -n "${SUPPRESSIONS:-}" ] && SUPPRESSIONS=$(realpath "$SUPPRESSIONS")
    WORK=$(realpath "$(mktemp -d "${TMPDIR:-/tmp}/boneyard-robust.XXXXXX")")
    trap robust_cleanup EXIT
    start_private_display
}

# Each test has its own X server, so parallel tests never share keyboard focus or windows.
# -noreset: by default the server resets when its last client leaves, and a game started
# during that reset fails to open the display.
start_private_display() {
    local fdfile="$WORK/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
    XVFB_PID=$!
    local deadline=$((SECONDS + 20))
    while [ ! -s "$fdfile" ]; do
        if [ $SECONDS -ge $deadline ] || ! kill -0 "$XVFB_PID" 2>/dev/null; then
            echo "Xvfb did not start" >&2
            exit 2
        fi
        sleep 0.1
    done
    export DISPLAY=":$(head -n1 "$fdfile")"
    until xdpyinfo >/dev/null 2>&1; do
        [ $SECONDS -ge $deadline ] && { echo "Xvfb on $DISPLAY does not answer" >&2; exit 2; }
        sleep 0.1
    done
}

# A fresh run folder holding the nine good files; prints its path.
fresh_run_dir() {
    local dir
    dir=$(mktemp -d "$WORK/run.XXXXXX")
    cp "${DATA_FILES[@]/#/$GOOD_DATA/}" "$dir/"
    echo "$dir"
}

# Starts the game in folder $1. Its stderr goes to $1.err and its frame count to
# $1.frames, both beside the folder so the game's own directory holds only its data.
start_game() {
    local dir=$1
    rm -f "$dir.err" "$dir.frames"
    (cd "$dir" && exec env LD_PRELOAD="$FRAME_SHIM${EXTRA_PRELOAD:+:$EXTRA_PRELOAD}" BONEYARD_FRAME_COUNT_FILE="$dir.frames" \
        ${GAME_PREFIX[@]+"${GAME_PREFIX[@]}"} "$BONEYARD" 2>"$dir.err") &
    GAME_PID=$!
    GAME_DIR=$dir
}

frames() {
    local n
    n=$(tr -d ' \n' 2>/dev/null <"$GAME_DIR.frames")
    echo "${n:-0}"
}

game_alive() {
    kill -0 "$GAME_PID" 2>/dev/null
}

# Waits up to $1 seconds for the game's window; sets WINDOW. False if the game died first.
wait_window() {
    local deadline=$((SECONDS + $1))
    WINDOW=""
    while [ $SECONDS -lt $deadline ]; do
        game_alive || return 1
        # Only a mapped window can take the focus.
        WINDOW=$(xdotool search --onlyvisible --name "$WINDOW_TITLE" 2>/dev/null | head -n1)
        # No window manager: focus it ourselves so XTEST key events reach it.
        if [ -n "$WINDOW" ] && timeout 5 xdotool windowfocus --sync "$WINDOW" 2>/dev/null; then
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# Waits up to $2 seconds until at least $1 frames have been shown in all.
wait_frames() {
    local want=$1 deadline=$((SECONDS + $2))
    while [ "$(frames)" -lt "$want" ]; do
        game_alive || return 1
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.1
    done
}

# Real keyboard input through XTEST, to the focused game window.
press() {
    xdotool key --clearmodifiers "$@"
}

# Waits up to $1 seconds for the game to end; sets STATUS (124 and a kill if it hangs).
wait_exit() {
    local deadline=$((SECONDS + $1))
    while game_alive; do
        if [ $SECONDS -ge $deadline ]; then
            kill -9 "$GAME_PID" 2>/dev/null
            wait "$GAME_PID" 2>/dev/null
            STATUS=124
            GAME_PID=""
            return 1
        fi
        sleep 0.1
    done
    wait "$GAME_PID"
    STATUS=$?
    GAME_PID=""
    return 0
}

stderr_lines() {
    grep -c '' "$GAME_DIR.err"
}

show_stderr() {
    sed 's/^/    stderr: /' "$GAME_DIR.err" | head -n 20 >&2
}

# The whole life of a game that must run: window, frames, a few keys that keep it
# drawing (shadows on and off, blimp view, help), more frames, then ESC and status 0.
# $1 is the case's name. Leaves GAME_DIR for stderr checks.
play_and_quit() {
    local name=$1
    if ! wait_window 30; then
        fail "$name: no window (game alive: $(game_alive && echo yes || echo no))"
        show_stderr
        wait_exit 5
        return 1
    fi
    if ! wait_frames 3 30; then
        fail "$name: fewer than 3 frames drawn (got $(frames))"
        show_stderr
        wait_exit 5
        return 1
    fi
    local before
    before=$(frames)
    press h y w
    if ! wait_frames $((before + 5)) 30; then
        fail "$name: frames stopped after h y w (at $(frames), started from $before)"
        show_stderr
        wait_exit 5
        return 1
    fi
    press h y w
    before=$(frames)
    wait_frames $((before + 2)) 30 || { fail "$name: frames stopped after the second h y w"; }
    press Escape
    if ! wait_exit 20; then
        fail "$name: ESC did not end the game within 20 s (killed)"
        return 1
    fi
    if [ "$STATUS" -ne 0 ]; then
        fail "$name: exit status $STATUS after ESC, expected 0"
        show_stderr
        return 1
    fi
    note "$name: $(frames) frames, exit status 0"
}

# True when stderr is empty, or is one line that names file $1 (a warning about it).
# Fails the case unless the game's stderr is exactly one line naming $1.
expect_one_line_naming() {
    local file=$1 case=$2
    if [ "$(stderr_lines)" -ne 1 ] || ! grep -qF "$file" "$GAME_DIR.err"; then
        fail "$case: expected one stderr line naming $file"
        show_stderr
        return 1
    fi
}

stderr_quiet_or_names() {
    local n
    n=$(stderr_lines)
    [ "$n" -eq 0 ] && return 0
    [ "$n" -eq 1 ] && grep -qF "$1" "$GAME_DIR.err"
}

# --- damaged versions of a good file -------------------------------------------------

# Deterministic bytes, so a failure can be replayed: $2 bytes from a generator seeded
# with the number $1.
seeded_bytes() {
    perl -e 'srand($ARGV[0]); print pack("C*", map { int(rand(256)) } 1 .. $ARGV[1]);' "$1" "$2"
}

# Repeats file $1 until the output $2 holds at least $3 mebibytes.
repeat_to_size() {
    local good=$1 out=$2 mib=$3
    local copies=$(( mib * 1048576 / $(stat -c %s "$good") + 1 ))
    : >"$out"
    # Doubling keeps this to a few dozen cat calls even for tens of megabytes.
    cat "$good" >"$out.chunk"
    while [ "$copies" -gt 0 ]; do
        [ $((copies % 2)) -eq 1 ] && cat "$out.chunk" >>"$out"
        copies=$((copies / 2))
        [ "$copies" -gt 0 ] && cat "$out.chunk" "$out.chunk" >"$out.chunk2" && mv "$out.chunk2" "$out.chunk"
    done
    rm -f "$out.chunk"
}

# Writes the damaged version $2 of good file $1 into path $3. Kinds: empty, truncated
# (cut in the middle of a record), garbage (seeded random bytes of the same size).
damage() {
    local good=$1 kind=$2 out=$3
    case "$kind" in
        empty)     : >"$out" ;;
        truncated) head -c $(( $(stat -c %s "$good") / 2 + 7 )) "$good" >"$out" ;;
        garbage)   seeded_bytes "$(cksum <"$good" | cut -d' ' -f1)" "$(stat -c %s "$good")" >"$out" ;;
        *)         echo "unknown damage $kind" >&2; exit 2 ;;
    esac
}

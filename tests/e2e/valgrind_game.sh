#!/usr/bin/env bash
# The real game under valgrind's memcheck on a private X server: at least 300 frames with
# shadows on, a reshape to another size and back, blimp view and help toggled, the dog
# walked, then ESC. Passes only with no memcheck error and no definitely lost byte.
#
# The window is shrunk to 128 x 96 as soon as it appears: llvmpipe's JIT-compiled
# rasteriser is slow under valgrind, and the shadow pass works per pixel.
#
# robust_keep_modules is preloaded too: it keeps the GL driver loaded through exit, so
# the leak report can still name the driver's own blocks (see tests/valgrind.supp).
#
# Usage: valgrind_game.sh BONEYARD FRAME_SHIM KEEP_MODULES GOOD_DATA_DIR SUPPRESSIONS [FRAMES]
set -uo pipefail
BONEYARD=$1 FRAME_SHIM=$2 KEEP_MODULES=$3 GOOD_DATA=$4 SUPPRESSIONS=$5 WANT_FRAMES=${6:-300}
. "$(dirname "$0")/robust_lib.sh"
command -v valgrind >/dev/null || { echo "missing tool: valgrind" >&2; exit 2; }
robust_setup
EXTRA_PRELOAD=$(realpath "$KEEP_MODULES")

dir=$(fresh_run_dir)
log="$dir.valgrind"
GAME_PREFIX=(valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite
             --errors-for-leak-kinds=definite --error-exitcode=99 --num-callers=40
             --track-origins=no --gen-suppressions=all
             --suppressions="$SUPPRESSIONS" --log-file="$log")
started_at=$SECONDS
start_game "$dir"

# Reaches frame $1 within $2 seconds or fails the test with what valgrind said so far.
reach() {
    if ! wait_frames "$1" "$2"; then
        fail "stopped at frame $(frames) while waiting for frame $1 (game alive: $(game_alive && echo yes || echo no))"
        show_stderr
        tail -n 40 "$log" >&2
        exit 1
    fi
}

resize() {
    xdotool windowsize "$WINDOW" "$1" "$2"
}

if ! wait_window 240; then
    fail "no window under valgrind"
    tail -n 40 "$log" >&2
    exit 1
fi
resize 128 96
reach 5 240
note "window up after $((SECONDS - started_at)) s"

press h                          # shadows on for the rest of the run
reach $(( $(frames) + 40 )) 240
resize 160 112                   # reshape: both depth arrays are replaced
reach $(( $(frames) + 30 )) 240
resize 128 96                   # and back
reach $(( $(frames) + 30 )) 240
press y                          # blimp view
reach $(( $(frames) + 30 )) 240
press w                          # help overlay
reach $(( $(frames) + 30 )) 240
press q e e e r e e f e          # a game: the dog walks, runs and turns
reach $(( $(frames) + 30 )) 240
press y w                        # back to the free camera, help off
reach "$WANT_FRAMES" 300
reached=$(frames)
press Escape
if ! wait_exit 180; then
    fail "ESC did not end the game under valgrind within 180 s"
    exit 1
fi
note "frames reached: $reached; run took $((SECONDS - started_at)) s; exit status $STATUS"

errors=$(sed -n 's/.*ERROR SUMMARY: \([0-9]*\) errors.*/\1/p' "$log" | tail -n1)
definite=$(sed -n 's/.*definitely lost: \([0-9,]*\) bytes.*/\1/p' "$log" | tail -n1 | tr -d ,)
sed -n '/HEAP SUMMARY/,$p' "$log" | sed 's/^==[0-9]*== //'
[ -n "$errors" ] || fail "valgrind wrote no error summary"
[ "${errors:-1}" -eq 0 ] || fail "valgrind reports $errors error(s)"
[ "${definite:-0}" -eq 0 ] || fail "valgrind reports $definite bytes definitely lost"
[ "$STATUS" -eq 0 ] || fail "exit status $STATUS, expected 0 (99: valgrind found errors)"
if [ "$FAILURES" -ne 0 ]; then
    # The first reports, each with the suppression valgrind would need for it.
    grep -v '^==[0-9]*== *$' "$log" | sed -n '/^==[0-9]*== [A-Z][a-z].*\(Invalid\|uninitialised\|definitely\|Mismatched\|overlap\)/,+45p' | head -n 200 >&2
    echo "full valgrind log: $log" >&2
    trap - EXIT
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    exit 1
fi
echo "valgrind: 0 errors, 0 bytes definitely lost in $reached frames"
